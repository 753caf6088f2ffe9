// The kelvane program started headless and spoken to over TCP; how it answers
// ill-formed or hostile messages is tested on the libraries themselves.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <regex>

#include "KelvaneHarness.h"

namespace {

long showError(KelvaneHarness& hub) {
    std::unique_ptr<Message> reply = hub.ask(newRequest("SHOW"));
    return reply && reply->paramCount == 1 ? reply->getLongParam(0) : -1;
}

TEST(Kelvane, EveryLogLineHasTheFixedFormat) {
    KelvaneHarness hub;
    ASSERT_TRUE(hub.start());
    showError(hub);
    ASSERT_EQ(hub.stop(), 0);
    std::istringstream lines(hub.log());
    std::regex format(R"(kelvane \.\./[a-z]+ \(\d+\): \t.*)");
    std::string line;
    int checked = 0;
    while (std::getline(lines, line)) {
        if (line.empty() || line == "Initializing kelvane") continue;
        EXPECT_TRUE(std::regex_match(line, format)) << line;
        ++checked;
    }
    EXPECT_GT(checked, 5);
}

// Every way of asking kelvane to stop ends it in order, also before any
// tool has connected: the tools' last messages are answered for three
// seconds, and leaving is the last thing logged.
class KelvaneStop : public ::testing::TestWithParam<int> {};

TEST_P(KelvaneStop, EndsInOrderWhileStillAnsweringForThreeSeconds) {
    KelvaneHarness hub;
    ASSERT_TRUE(hub.start());
    hub.kelvane->signal(GetParam());
    EXPECT_EQ(showError(hub), 0);  // answered during the drain
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(hub.kelvane->waitForExit(8000), 0);
    EXPECT_GT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1500));
    std::string text = hub.log();
    size_t closing = text.find("Closing all tool windows");
    ASSERT_NE(closing, std::string::npos);
    size_t lastLine = text.rfind('\n', text.size() - 2);
    EXPECT_NE(text.find("Leaving Tool Manager", lastLine), std::string::npos) << text;
    EXPECT_LT(closing, lastLine);
}

INSTANTIATE_TEST_SUITE_P(Signals, KelvaneStop, ::testing::Values(SIGTERM, SIGHUP, SIGINT));

}  // namespace
