#include <gtest/gtest.h>

#include "storage/List.h"

TEST(List, GrowsByChunks) {
    List list(32, true, false);
    for (int i = 0; i < 33; ++i) list.include(new NumberItem(i));
    EXPECT_EQ(list.getCount(), 33);
}
