// The log line format shared by every program of the environment.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/Log.h"

namespace {
constexpr const char* kLogSource = "../kelvane";
}

TEST(Log, LineFormatIsProgramSourceLineColonTabMessageAndNoStreamDropsLines) {
    LogCapture log;
    char name[] = "kelvane", tool[] = "hellotool";
    char* previous = gToolName;
    gToolName = name;
    okaLogLine(kLogSource, 299, "Leaving Tool Manager");
    OKA_LOG("port %d type %s", 4100, "SHOW");
    // A tool's file without a tag of its own writes under the program's name.
    gToolName = tool;
    okaLogLine(nullptr, 12, "hello");
    gToolName = previous;
    // A process without a log stream drops its lines.
    gOKALogStream = nullptr;
    OKA_LOG("nowhere");
    EXPECT_TRUE(log.text().starts_with("kelvane ../kelvane (299): \tLeaving Tool Manager\n"));
    EXPECT_TRUE(log.contains("): \tport 4100 type SHOW\n"));
    EXPECT_TRUE(log.contains("\nhellotool ../hellotool (12): \thello\n"));
    EXPECT_FALSE(log.contains("nowhere"));
}
