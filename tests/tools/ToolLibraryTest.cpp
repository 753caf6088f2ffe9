// The tool library: requests, their outcomes and a tool without windows.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <thread>
#include <tuple>

#include "FakeTool.h"
#include "TestSupport.h"
#include "core/Utilities.h"
#include "messaging/MessageCenter.h"
#include "messaging/MessageTypes.h"
#include "tools/OkaTool.h"
#include "tools/ToolRequest.h"

namespace {

// The other side of a request, in a thread of its own: it takes the next
// message and answers it with `answer`.
class Responder : public FakeTool {
  public:
    using Answer = std::function<void(Responder& self, const Message& request)>;

    explicit Responder(Answer answer) : FakeTool("responder", typeCode("RESP")) {
        thread = std::thread([this, answer] {
            if (std::unique_ptr<Message> request = receive(3000)) answer(*this, *request);
        });
    }
    ~Responder() { thread.join(); }

    void send(Message& message) {
        message.sender = info;
        ASSERT_TRUE(transport->sendMessage(message).ok());
    }
    // Replies to `request` with `error` and the results `fill` adds.
    void reply(const Message& request, int32_t error,
               const std::function<void(Message&)>& fill = {}) {
        Message answer(kReplyMessage, &request.sender);
        answer.addLongParam(error, kParamError);
        if (fill) fill(answer);
        send(answer);
    }

  private:
    std::thread thread;
};

class ToolRequestTest : public ::testing::Test {
  protected:
    ToolRequestTest() { gMessageCenter = new MessageCenter(findFreePort()); }
    ~ToolRequestTest() override {
        delete gMessageCenter;
        gMessageCenter = nullptr;
    }

    // A 'GFCP' to `destination`, waiting at most `timeoutMs`.
    RequestResult ask(const ToolInfo& destination, uint32_t timeoutMs = 3000) {
        Message files(kGetProjectFilesMsg.code, &destination);
        files.addTypeParam(kWildcardType);
        files.replyTimeout = timeoutMs;
        return request(files);
    }

    TempHome home;
};

}  // namespace

TEST_F(ToolRequestTest, TheResultOwnsTheReplyAndReadsEachResultOnlyAsItsType) {
    Responder responder([](Responder& self, const Message& request) {
        self.reply(request, 0, [](Message& reply) {
            reply.addTextParam("/src/main.qa");
            reply.addLongParam(7);
            reply.addBoolParam(true);
            reply.addTypeParam(typeCode("QAGT"));
            reply.addParam(kParamData, "\x01\x02", 2);
        });
    });
    RequestResult result = ask(responder.info);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(
        std::make_tuple(result.error(), result.resultCount(), result.text(0), result.number(1),
                        result.flag(2), result.type(3), result.data(4)),
        std::make_tuple(0, 5, std::optional<std::string>("/src/main.qa"), std::optional<int32_t>(7),
                        std::optional<bool>(true), std::optional<TypeCode>(typeCode("QAGT")),
                        std::optional<std::vector<uint8_t>>({1, 2})));
    // Another type, or a result past the last, reads as nothing.
    EXPECT_FALSE(result.number(0) || result.text(1) || result.flag(5) || result.text(-1));
}

TEST_F(ToolRequestTest, ErrorReplyNoReplyAndNobodyListeningAreToldApart) {
    {
        Responder refusing(
            [](Responder& self, const Message& request) { self.reply(request, -402); });
        RequestResult refused = ask(refusing.info);
        EXPECT_EQ(std::make_tuple(refused.status(), refused.error(), refused.resultCount()),
                  std::make_tuple(RequestResult::Status::errorReply, -402, 0));
    }
    {
        // Nothing answers but a reply from another program, for a request of its own.
        Responder silent([](Responder&, const Message&) {});
        Responder stranger([](Responder&, const Message&) {});
        std::thread late([&stranger] {
            Message request(kGetProjectFilesMsg.code, nullptr);
            request.sender = gMessageCenter->getOwnToolInfo();
            stranger.reply(request, 0);
        });
        RequestResult unanswered = ask(silent.info, 500);
        EXPECT_EQ(std::make_tuple(unanswered.status(), unanswered.error(), unanswered.reply()),
                  std::make_tuple(RequestResult::Status::noReply, kErrorNoReply, nullptr));
        late.join();
        Message done(kQuitMsg.code, &stranger.info);  // ends the stranger's wait for a request
        silent.send(done);
    }
    ToolInfo nobody;
    nobody.port = findFreePort();
    RequestResult unsent = ask(nobody);
    EXPECT_EQ(std::make_pair(unsent.status(), unsent.error()),
              std::make_pair(RequestResult::Status::notSent, kErrorNoReply));
}

TEST(ToolWithoutWindows, AnswersTheWindowRequestsWithNothingToDo) {
    TempHome home;
    setenv("OKA", home.path().c_str(), 1);
    setWindowLayerHooks({});  // a Tool Manager in this process may have left its own
    ASSERT_EQ(startTool("headless", {"Headless", "Test Tools", 1, 0, typeCode("HDLS"), false}), 0);
    for (TypeCode type : {typeCode("SHOW"), typeCode("HIDE"), typeCode("CWIN"), typeCode("DSRC")}) {
        auto* request = new Message(type, nullptr);
        request->wantsReply = 1;
        std::unique_ptr<Message> reply(gMessageCenter->dispatchMessage(request));
        ASSERT_NE(reply, nullptr);
        EXPECT_EQ(reply->getLongParam(0), 0) << TypeIdentToCStr(type);
    }
    leaveEnvironment();
    unsetenv("OKA");
}
