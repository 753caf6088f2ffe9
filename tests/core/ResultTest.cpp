#include "core/Result.h"

#include <gtest/gtest.h>

#include <memory>

// A number that looks like a failure code is still a value: only a Status fails.
TEST(ResultTest, ValuesAndFailuresStayApart) {
    Result<long> negativeValue(-509L);
    EXPECT_TRUE(negativeValue.ok());
    EXPECT_EQ(negativeValue.value(), -509);
    EXPECT_EQ(negativeValue.valueOr(7), -509);

    Result<long> failed = Status(-509);
    EXPECT_FALSE(failed.ok());
    EXPECT_EQ(failed.code(), -509);
    EXPECT_EQ(failed.status(), Status(-509));
    EXPECT_EQ(failed.valueOr(7), 7);
}

TEST(ResultTest, CarriesMoveOnlyValues) {
    Result<std::unique_ptr<int>> held(std::make_unique<int>(42));
    ASSERT_TRUE(held.ok());
    std::unique_ptr<int> taken = std::move(held).value();
    EXPECT_EQ(*taken, 42);
}
