#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <tuple>
#include <vector>

#include "RawPeer.h"
#include "TestSupport.h"
#include "messaging/FullPath.h"
#include "messaging/MessageCenter.h"
#include "messaging/MessageTypes.h"

namespace {

std::vector<TypeCode> handled;  // message types seen by the recording handler

int32_t recordingHandler(Message* message, Message* reply) {
    handled.push_back(message->type);
    reply->addBoolParam(true);
    return 0;
}

int32_t failingHandler(Message*, Message*) {
    return -42;
}

// A message center of the Tool Manager kind on a free port, in a temporary HOME.
class MessageCenterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        handled.clear();
        center = std::make_unique<MessageCenter>(findFreePort());
        MessageTemplate oneText = makeTemplate({kParamS255});
        center->registerMessageHandler(typeCode("ADDF"), &oneText, recordingHandler);
        MessageTemplate none;
        center->registerMessageHandler(typeCode("SCHG"), &none, recordingHandler);
        center->registerMessageHandler(typeCode("FAIL"), &none, failingHandler);
    }
    Message* request(TypeCode type, bool wantsReply) {
        auto* message = new Message(type, nullptr);
        message->wantsReply = wantsReply ? 1 : 0;
        message->sender.port = 9999;
        return message;
    }
    TempHome home;
    LogCapture log;
    std::unique_ptr<MessageCenter> center;
};

}  // namespace

TEST_F(MessageCenterTest, DispatchAndOwnPortRunTheFirstRegisteredHandlerOrCallable) {
    Message* message = request(typeCode("ADDF"), true);
    message->addTextParam("/tmp/a");
    std::unique_ptr<Message> reply(center->dispatchMessage(message));
    ASSERT_TRUE(reply);
    EXPECT_EQ(std::make_tuple(reply->type, int(reply->paramCount), reply->getParamType(0),
                              reply->getLongParam(0), reply->getBoolParam(1),
                              int(reply->destination.port), int(reply->wantsReply)),
              std::make_tuple(kReplyMessage, 2, kParamError, 0, true, 9999, 0));
    EXPECT_EQ(handled, std::vector<TypeCode>{typeCode("ADDF")});

    // A second handler for a type is refused; the first stays.
    MessageTemplate none;
    center->registerMessageHandler(typeCode("SCHG"), &none, failingHandler);
    EXPECT_EQ(center->getLastError(), kErrorDuplicateHandler);
    reply.reset(center->dispatchMessage(request(typeCode("SCHG"), true)));
    EXPECT_EQ(reply->getLongParam(0), 0);

    center->removeMessageHandler(typeCode("SCHG"));
    EXPECT_EQ(center->getLastError(), 0);
    center->removeMessageHandler(typeCode("SCHG"));
    EXPECT_EQ(center->getLastError(), kErrorNoHandler);

    // Any callable handles a type of the protocol, with the state it holds.
    int questions = 0;
    center->registerMessageHandler(kIdentifyFileMsg, [&questions](Message&, Message& reply) {
        reply.addBoolParam(++questions == 1);
        return 0;
    });
    Message* question = request(kIdentifyFileMsg.code, true);
    question->addTextParam("/src/main.qa");
    reply.reset(center->dispatchMessage(question));
    EXPECT_EQ(std::pair(reply->getBoolParam(1), questions), std::pair(true, 1));

    // A message to the center's own port is handled here, without the network.
    Message* local = new Message(typeCode("ADDF"), &center->getOwnToolInfo());
    local->addTextParam("/tmp/b");
    local->wantsReply = 1;
    reply.reset(center->sendMessage(local));
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->getLongParam(0), 0);
    EXPECT_FALSE(log.contains("sendMessage: sent message"));
}

TEST_F(MessageCenterTest, ValidationRefusesBeforeAnyHandlerRuns) {
    Message* twoParams = request(typeCode("ADDF"), true);
    twoParams->addTextParam("a");
    twoParams->addTextParam("b");
    Message* wrongType = request(typeCode("ADDF"), true);
    wrongType->addLongParam(3);
    const std::pair<Message*, int32_t> cases[] = {{twoParams, kErrorBadParamCount},
                                                  {wrongType, kErrorBadParamType},
                                                  {request(typeCode("FAIL"), true), -42}};
    for (const auto& [message, expected] : cases) {
        std::unique_ptr<Message> reply(center->dispatchMessage(message));
        EXPECT_EQ(std::make_pair(reply->getLongParam(0), int(reply->paramCount)),
                  std::make_pair(expected, 1));
    }
    EXPECT_EQ(center->dispatchMessage(request(typeCode("NONE"), false)), nullptr);
    EXPECT_EQ(center->getLastError(), kErrorNoHandler);
    EXPECT_TRUE(handled.empty());
}

TEST_F(MessageCenterTest, MessagesArrivingDuringAWaitAreQueuedInOrderAndAZeroTimeoutDoesNotWait) {
    RawListener tool;
    int ownPort = center->getOwnToolInfo().port;
    std::thread peer([&] {
        tool.receiveOne();  // the request arrived; now answer after two other messages
        Message addFile(typeCode("ADDF"), nullptr);
        addFile.addTextParam("/tmp/b");
        sendRawBytes(ownPort, wireBytes(addFile));
        sendRawBytes(ownPort, wireBytes(Message(typeCode("SCHG"), nullptr)));
        // A reply from another port than the asked tool's is not the reply.
        for (int from : {tool.port() + 1, tool.port()}) {
            Message answer(kReplyMessage, nullptr);
            answer.addLongParam(0, kParamError);
            answer.addLongParam(from);
            answer.sender.port = from;
            sendRawBytes(ownPort, wireBytes(answer));
        }
    });
    ToolInfo destination;
    destination.port = tool.port();
    auto* question = new Message(typeCode("IDFL"), &destination);
    question->wantsReply = 1;
    std::unique_ptr<Message> reply(center->sendMessage(question));
    peer.join();
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->getLongParam(1), tool.port());
    EXPECT_TRUE(handled.empty());  // nothing is dispatched inside the wait
    MessageQueue& queue = center->getQueue();
    queue.enqueueMessage(nullptr);  // ignored
    EXPECT_EQ(std::pair(queue.messagesAvailable(kWildcardType),
                        queue.messagesAvailable(typeCode("SCHG"))),
              std::pair(2L, 1L));
    EXPECT_EQ(queue.dequeueMessage(typeCode("QUIT")).code(), kErrorNoQueuedMessage);
    Message* behind = queue.dequeueMessage(typeCode("SCHG")).value();  // passes the 'ADDF'
    EXPECT_EQ(std::pair(behind->type, queue.messagesAvailable(kWildcardType)),
              std::pair(typeCode("SCHG"), 1L));
    queue.enqueueMessage(behind);
    center->poll();
    EXPECT_EQ(handled, std::vector<TypeCode>{typeCode("ADDF")});
    center->poll();
    EXPECT_EQ(handled, (std::vector<TypeCode>{typeCode("ADDF"), typeCode("SCHG")}));

    Message* unanswered = new Message(typeCode("SCHG"), &destination);
    unanswered->wantsReply = 1;
    unanswered->replyTimeout = 0;
    EXPECT_EQ(center->sendMessage(unanswered), nullptr);
}

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
