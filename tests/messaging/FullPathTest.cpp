// makeFullPath asks the Tool Manager to resolve partial paths.
#include <gtest/gtest.h>

#include <memory>

#include "TestSupport.h"
#include "messaging/FullPath.h"
#include "messaging/MessageCenter.h"

namespace {

int resolveRequests = 0;

// Resolves exactly "known.qnt" to "/project/known.qnt".
int32_t resolveMsg(Message* message, Message* reply) {
    ++resolveRequests;
    char partial[256];
    message->getTextParam(0, partial, sizeof partial);
    bool found = std::string(partial) == "known.qnt";
    reply->addBoolParam(found);
    reply->addTextParam(found ? "/project/known.qnt" : "");
    return 0;
}

class FullPathTest : public ::testing::Test {
protected:
    void SetUp() override {
        resolveRequests = 0;
        center = std::make_unique<MessageCenter>(findFreePort());
        MessageTemplate oneText = makeTemplate({kParamS255});
        center->registerMessageHandler(typeCode("RSLV"), &oneText, resolveMsg);
        gMessageCenter = center.get();
        manager.port = center->getOwnToolInfo().port;
    }
    void TearDown() override { gMessageCenter = nullptr; }
    std::string resolve(const char* partial) {
        std::unique_ptr<char[]> full(makeFullPath(partial, manager, false));
        return full ? full.get() : "<null>";
    }
    TempHome home;
    LogCapture log;
    std::unique_ptr<MessageCenter> center;
    ToolInfo manager;
};

}  // namespace

// Absolute paths are copied without asking; partial ones cost one request.
TEST_F(FullPathTest, OnlyPartialPathsAreResolvedByTheToolManager) {
    EXPECT_EQ(resolve("/tmp/x"), "/tmp/x");
    EXPECT_EQ(resolveRequests, 0);
    EXPECT_EQ(resolve("known.qnt"), "/project/known.qnt");
    EXPECT_EQ(resolveRequests, 1);
    EXPECT_EQ(resolve("other.qnt"), "<null>");
    EXPECT_EQ(resolveRequests, 2);

    EXPECT_EQ(resolve(""), "<null>");
    EXPECT_EQ(resolve(nullptr), "<null>");
    EXPECT_EQ(resolveRequests, 2);
}
