#include "base/ckassert.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace {

// The tests run with CHRONARK_ASSERT_ABORT set; these cases need the program's own behaviour
// and put the variable back when they end.
class CkAssertTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char *value = std::getenv("CHRONARK_ASSERT_ABORT");
        Saved = value ? std::optional<std::string>(value) : std::nullopt;
        unsetenv("CHRONARK_ASSERT_ABORT");
    }
    void TearDown() override {
        if (Saved)
            setenv("CHRONARK_ASSERT_ABORT", Saved->c_str(), 1);
    }
    std::optional<std::string> Saved;
};

int Guarded(const int *P) {
    CK_ASSERT(P, return -1);
    return *P;
}

} // namespace

TEST_F(CkAssertTest, AFailedCheckLogsAndRunsItsAction) {
    const int value = 7;
    EXPECT_EQ(Guarded(&value), 7);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(Guarded(nullptr), -1);
    const std::string logged = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(logged.rfind("CK_ASSERT: P in ", 0), 0u) << logged;
    EXPECT_NE(logged.find("ckassert_test.cpp:"), std::string::npos) << logged;
    EXPECT_EQ(logged.back(), '\n');

    // Inside a loop the action may go on with the next round; a check that holds says nothing.
    ::testing::internal::CaptureStderr();
    int skipped = 0, reached = 0;
    for (int i = 0; i < 4; ++i) {
        CK_ASSERT(i % 2 == 0, ++skipped; continue);
        ++reached;
    }
    EXPECT_EQ(skipped, 2);
    EXPECT_EQ(reached, 2);
    const std::string loop = ::testing::internal::GetCapturedStderr();
    const std::string line = "CK_ASSERT: i % 2 == 0 in ";
    ASSERT_EQ(loop.rfind(line, 0), 0u) << loop;
    const size_t second = loop.find('\n') + 1;
    EXPECT_EQ(loop.compare(second, line.size(), line), 0) << loop;
    EXPECT_EQ(loop.find('\n', second), loop.size() - 1) << loop;
}

TEST_F(CkAssertTest, AbortsWhenTheVariableIsSet) {
    EXPECT_DEATH(
        {
            setenv("CHRONARK_ASSERT_ABORT", "1", 1);
            Guarded(nullptr);
        },
        "CK_ASSERT: P in .*ckassert_test.cpp:[0-9]+");
}
