#include "core/Result.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

// A number that looks like a failure code is still a value: only a Status fails.
TEST(ResultTest, ValuesAndFailuresStayApartAndMoveOnlyValuesAreCarried) {
    Result<long> negativeValue(-509L);
    EXPECT_EQ(std::tuple(negativeValue.ok(), negativeValue.value(), negativeValue.valueOr(7)),
              std::tuple(true, -509L, -509L));
    Result<long> failed = Status(-509);
    EXPECT_EQ(std::tuple(failed.ok(), failed.code(), failed.valueOr(7)),
              std::tuple(false, -509, 7L));
    EXPECT_EQ(failed.status(), Status(-509));

    Result<std::unique_ptr<int>> held(std::make_unique<int>(42));
    ASSERT_TRUE(held.ok());
    std::unique_ptr<int> taken = std::move(held).value();
    EXPECT_EQ(*taken, 42);
}
