// The lock file beside a document: who holds it, when it is stale, and that a copy of the
// program only ever removes its own.

#include "app/doclock.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string ReadText(const fs::path &P) {
    std::ifstream in(P);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteText(const fs::path &P, const std::string &Text) {
    std::ofstream(P, std::ios::trunc) << Text;
}

// A process id that surely names no running process: a child that has ended and been reaped.
long DeadPid() {
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    int status = 0;
    ::waitpid(child, &status, 0);
    return child;
}

class DocLockTest : public ::testing::Test {
protected:
    void SetUp() override {
        Dir = fs::temp_directory_path() /
              ("chronark-lock-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(Dir);
        Doc = (Dir / "doc.ckx").string();
        LockPath = Dir / "doc.ckx.lock";
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(Dir, fs::perms::owner_all, ec);
        fs::remove_all(Dir, ec);
    }
    std::string Self() const { return std::to_string(::getpid()) + "\n" + ThisHostName() + "\n"; }

    fs::path Dir, LockPath;
    std::string Doc;
};

TEST_F(DocLockTest, AFreeDocumentIsLockedWithPidAndHostAndFreedAgain) {
    EXPECT_EQ(LockFileName(Doc), Doc + ".lock");
    TDocumentLock Lock;
    TLockOwner Holder;
    ASSERT_EQ(Lock.Acquire(Doc, false, Holder), TDocumentLock::TResult::Acquired);
    EXPECT_TRUE(Lock.Held());
    EXPECT_EQ(ReadText(LockPath), Self());
    Lock.Release();
    EXPECT_FALSE(fs::exists(LockPath));
    EXPECT_EQ(std::distance(fs::directory_iterator(Dir), fs::directory_iterator()), 0)
        << "no temporary file is left beside it";
}

TEST_F(DocLockTest, ExistingLocksAreHonouredOrReplacedByWhatTheyName) {
    const std::string host = ThisHostName();
    struct Case {
        const char *name;
        std::string content;
        bool held;
    } cases[] = {
        {"a running process here", std::to_string(::getppid()) + "\n" + host + "\n", true},
        {"a process here that has ended", std::to_string(DeadPid()) + "\n" + host + "\n", false},
        {"a process on another machine", std::to_string(DeadPid()) + "\nanderswo\n", true},
        {"an empty file (cut off while written)", "", false},
        {"no number", "abc\n" + host + "\n", false},
        {"this very process", Self(), false},
    };
    for (const Case &c : cases) {
        WriteText(LockPath, c.content);
        TDocumentLock Lock;
        TLockOwner Holder;
        const auto Result = Lock.Acquire(Doc, false, Holder);
        if (c.held) {
            EXPECT_EQ(Result, TDocumentLock::TResult::HeldByOther) << c.name;
            EXPECT_EQ(ReadText(LockPath), c.content) << c.name << ": left as it was";
            TLockOwner Read;
            ASSERT_TRUE(ReadLockOwner(LockPath.string(), Read)) << c.name;
            EXPECT_EQ(Holder, Read) << c.name;
        } else {
            EXPECT_EQ(Result, TDocumentLock::TResult::Acquired) << c.name;
            EXPECT_EQ(ReadText(LockPath), Self()) << c.name;
        }
        Lock.Release();
        std::error_code ec;
        fs::remove(LockPath, ec);
    }
}

TEST_F(DocLockTest, OpeningAnywayTakesTheLockOverAndTheFormerHolderLeavesIt) {
    const std::string other = std::to_string(::getppid()) + "\n" + ThisHostName() + "\n";
    WriteText(LockPath, other);
    TDocumentLock Lock;
    TLockOwner Holder;
    ASSERT_EQ(Lock.Acquire(Doc, true, Holder), TDocumentLock::TResult::Acquired);
    EXPECT_EQ(ReadText(LockPath), Self());
    // The other copy takes it back; this one's release must not remove that lock.
    WriteText(LockPath, other);
    Lock.Release();
    EXPECT_EQ(ReadText(LockPath), other);
}

TEST_F(DocLockTest, TwoHoldersInOneProcessKeepTheFileUntilTheLastLetsGo) {
    TLockOwner Holder;
    auto First = std::make_unique<TDocumentLock>();
    auto Second = std::make_unique<TDocumentLock>();
    ASSERT_EQ(First->Acquire(Doc, false, Holder), TDocumentLock::TResult::Acquired);
    ASSERT_EQ(Second->Acquire(Doc, false, Holder), TDocumentLock::TResult::Acquired);
    First.reset();
    EXPECT_TRUE(fs::exists(LockPath)) << "the second holder still has the document";
    Second.reset();
    EXPECT_FALSE(fs::exists(LockPath));
}

TEST_F(DocLockTest, AFolderWithoutWriteAccessNeedsNoLock) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into any folder";
    fs::permissions(Dir, fs::perms::owner_read | fs::perms::owner_exec);
    TDocumentLock Lock;
    TLockOwner Holder;
    EXPECT_EQ(Lock.Acquire(Doc, false, Holder), TDocumentLock::TResult::Unavailable);
    EXPECT_FALSE(Lock.Held());
}

TEST_F(DocLockTest, LivenessIsOnlyJudgedOnThisMachine) {
    EXPECT_TRUE(ProcessAlive(::getpid()));
    EXPECT_FALSE(ProcessAlive(DeadPid()));
    EXPECT_FALSE(ProcessAlive(0));
    EXPECT_FALSE(IsStaleLock({long(::getpid()), ThisHostName()}, true));
    EXPECT_TRUE(IsStaleLock({DeadPid(), ThisHostName()}, true));
    EXPECT_FALSE(IsStaleLock({DeadPid(), "anderswo"}, true));
    EXPECT_TRUE(IsStaleLock({}, false));
}

} // namespace
