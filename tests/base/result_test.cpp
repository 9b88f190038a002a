#include "base/result.h"

#include <gtest/gtest.h>

TEST(Result, SuccessMayCarryAWarningAndFailureAlwaysFails) {
    const TResult plain;
    EXPECT_TRUE(plain);
    EXPECT_EQ(plain.Status(), TStatus::Ok);
    EXPECT_EQ(plain.Message(), "");
    EXPECT_EQ(plain.Position(), -1);

    const TResult warned = TResult::Success("Achtung");
    EXPECT_TRUE(warned);
    EXPECT_EQ(warned.Message(), "Achtung");

    const TResult failed = TResult::Failure(TStatus::BadDocument, "kaputt", 17);
    EXPECT_FALSE(failed);
    EXPECT_EQ(failed.Status(), TStatus::BadDocument);
    EXPECT_EQ(failed.Message(), "kaputt");
    EXPECT_EQ(failed.Position(), 17);

    // A failure named Ok would read as success to every caller.
    const TResult misnamed = TResult::Failure(TStatus::Ok, "kaputt");
    EXPECT_FALSE(misnamed);
    EXPECT_EQ(misnamed.Status(), TStatus::SystemError);
    EXPECT_EQ(TResult::Failure(TStatus::NotFound, "weg", -5).Position(), -1);
}
