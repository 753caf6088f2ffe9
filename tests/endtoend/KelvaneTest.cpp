// Black-box checks of the kelvane program: it is started headless in a
// temporary HOME with a throw-away installation and spoken to over TCP.
#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <regex>
#include <sstream>

#include "KelvaneHarness.h"
#include "RawPeer.h"
#include "TestSupport.h"
#include "messaging/MessageCenter.h"

namespace {

class KelvaneTest : public ::testing::Test {
protected:
    void startKelvane() { ASSERT_TRUE(hub.start()); }
    std::unique_ptr<Message> ask(Message* message) { return hub.ask(message); }
    std::string log() const { return hub.log(); }

    KelvaneHarness hub;
};

}  // namespace

TEST_F(KelvaneTest, AnswersKnownUnknownAndMalformedMessages) {
    startKelvane();
    auto reply = ask(new Message(typeCode("SHOW"), nullptr));
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->type, kReplyMessage);
    EXPECT_EQ(reply->paramCount, 1);
    EXPECT_EQ(reply->getLongParam(0), 0);

    reply = ask(new Message(typeCode("ZZZZ"), nullptr));
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->getLongParam(0), kErrorNoHandler);

    auto* withParam = new Message(typeCode("HIDE"), nullptr);
    withParam->addLongParam(1);
    reply = ask(withParam);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->getLongParam(0), kErrorBadParamCount);

    // Garbage on the wire is dropped and the hub keeps answering.
    Message hostile(typeCode("SHOW"), nullptr);
    std::string bytes = wireBytes(hostile);
    bytes[5] = 99;
    sendRawBytes(hub.port, bytes);
    sendRawBytes(hub.port, "short");
    reply = ask(new Message(typeCode("CWIN"), nullptr));
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->getLongParam(0), 0);

    std::string text = log();
    EXPECT_NE(text.find("handler not found for incoming message ZZZZ"), std::string::npos);
    EXPECT_NE(text.find("invalid number of params for incoming message, expected 0 and got 1 for "
                        "message HIDE"), std::string::npos);
    EXPECT_NE(text.find("failed reading header"), std::string::npos);
}

TEST_F(KelvaneTest, EveryLogLineHasTheFixedFormat) {
    startKelvane();
    ask(new Message(typeCode("SHOW"), nullptr));
    hub.kelvane->signal(SIGTERM);
    ASSERT_EQ(hub.kelvane->waitForExit(8000), 0);
    std::istringstream lines(log());
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

TEST_F(KelvaneTest, SigtermDrainsForThreeSecondsWhileStillAnswering) {
    startKelvane();
    hub.kelvane->signal(SIGTERM);
    auto reply = ask(new Message(typeCode("SHOW"), nullptr));
    ASSERT_TRUE(reply);  // answered during the drain
    EXPECT_EQ(reply->getLongParam(0), 0);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(hub.kelvane->waitForExit(8000), 0);
    EXPECT_GT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1500));
    std::string text = log();
    size_t closing = text.find("Closing all tool windows");
    size_t leaving = text.find("Leaving Tool Manager");
    ASSERT_NE(closing, std::string::npos);
    ASSERT_NE(leaving, std::string::npos);
    EXPECT_LT(closing, leaving);
}

TEST_F(KelvaneTest, TakesTheNextPortWhenTheWellKnownOneIsBusy) {
    KelvaneHarness first;
    ASSERT_TRUE(first.start());
    startKelvane();
    EXPECT_NE(hub.port, first.port);
    // Other tests may hold or free ports meanwhile, but the ports are tried
    // upwards from 4100, so binding port P took exactly P - 4100 retries.
    int retries = hub.port - 4100;
    ASSERT_GE(retries, 0);
    std::string text = log();
    if (retries > 0) {
        EXPECT_NE(text.find("tcptransport: bind retry " + std::to_string(retries) + " ("),
                  std::string::npos);
    }
    EXPECT_EQ(text.find("tcptransport: bind retry " + std::to_string(retries + 1) + " ("),
              std::string::npos);
}

TEST_F(KelvaneTest, MissingOkaIsLoggedAndEndsWithMinusOne) {
    hub.start({"OKA="});  // the port file is written before OKA is read
    EXPECT_EQ(hub.kelvane->waitForExit(5000), 255);
    EXPECT_NE(log().find("the OKA environment variable was not set - this is bad"),
              std::string::npos);
}
