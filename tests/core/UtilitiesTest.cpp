#include <gtest/gtest.h>

#include "core/Utilities.h"

TEST(Paths, SplitAtLastSeparator) {
    char out[kPathSize];
    extractPathname("/usr/bin/tool", out);
    EXPECT_STREQ(out, "/usr/bin");
    extractFilename("/usr/bin/tool", out);
    EXPECT_STREQ(out, "tool");
}
