#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/Log.h"

namespace {
constexpr const char* kLogSource = "../kelvane";
}

TEST(Log, LineFormatIsProgramSourceLineColonTabMessage) {
    LogCapture log;
    char name[] = "kelvane";
    char* previous = gToolName;
    gToolName = name;
    okaLogLine(kLogSource, 299, "Leaving Tool Manager");
    OKA_LOG("port %d type %s", 4100, "SHOW");
    gToolName = previous;
    const std::string first = "kelvane ../kelvane (299): \tLeaving Tool Manager\n";
    EXPECT_EQ(log.text().substr(0, first.size()), first);
    EXPECT_TRUE(log.contains("): \tport 4100 type SHOW\n"));
}

TEST(Log, LinesWithoutAStreamAreDropped) {
    std::ostream* previous = gOKALogStream;
    gOKALogStream = nullptr;
    OKA_LOG("nowhere");
    gOKALogStream = previous;
}
