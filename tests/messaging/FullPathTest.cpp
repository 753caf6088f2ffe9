// makeFullPath: what it answers without asking anybody. Resolution through
// the Tool Manager and the user is shown where both exist, with projects.
#include <gtest/gtest.h>

#include <memory>

#include "messaging/FullPath.h"
#include "messaging/MessageCenter.h"

// No message center exists here: a request to resolve would have nowhere to go.
TEST(FullPath, AbsoluteAndEmptyPathsAreAnsweredWithoutAsking) {
    ASSERT_EQ(gMessageCenter, nullptr);
    std::unique_ptr<char[]> absolute(makeFullPath("/tmp/x", ToolInfo{}, false));
    ASSERT_TRUE(absolute);
    EXPECT_STREQ(absolute.get(), "/tmp/x");
    for (const char* partial : {"", static_cast<const char*>(nullptr)}) {
        EXPECT_EQ(std::unique_ptr<char[]>(makeFullPath(partial, ToolInfo{}, true)), nullptr);
    }
}
