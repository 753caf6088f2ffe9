// What the Tool Manager tells those who ask, subscribe ('NTFY') or watch ('WTCH').
#include <poll.h>
#include <sys/socket.h>

#include <string>
#include <tuple>
#include <vector>

#include "ToolManagerTest.h"
#include "core/Platform.h"
#include "core/Utilities.h"
#include "messaging/ToolListing.h"
#include "messaging/WatchCopy.h"
#include "projects/ProjectManager.h"
#include "tools/ToolRegistry.h"
#include "tools/WatchHub.h"

namespace {
constexpr TypeCode kViewer = typeCode("VIEW");
constexpr TypeCode kRunner = typeCode("RUNR");

// A watcher's end of the stream: a listener whose first connection is the
// stream. The hub is flushed while it waits, as the main loop would.
class WatcherEnd {
  public:
    WatcherEnd() : listener(std::make_unique<TCPTransport>(0)) {
        copyText(info.name, sizeof info.name, "watcher");
        info.port = listener->getPort();
    }
    std::unique_ptr<Message> next(int timeoutMs = 2000) {
        uint32_t deadline = currentMilliseconds() + uint32_t(timeoutMs);
        while (int32_t(deadline - currentMilliseconds()) > 0) {
            gWatchHub->flushWatchers();
            if (!stream.isOpen()) {
                pollfd waiting{listener->listenerDescriptor(), POLLIN, 0};
                if (poll(&waiting, 1, 10) > 0) stream.reset(accept(waiting.fd, nullptr, nullptr));
                continue;
            }
            pollfd waiting{stream.get(), POLLIN, 0};
            if (poll(&waiting, 1, 10) > 0)
                return std::unique_ptr<Message>(listener->getMessage(stream.get()));
        }
        return nullptr;
    }
    std::vector<std::unique_ptr<Message>> drain(int quietMs = 300) {
        std::vector<std::unique_ptr<Message>> messages;
        while (auto message = next(quietMs)) messages.push_back(std::move(message));
        return messages;
    }

    ToolInfo info;
    std::unique_ptr<TCPTransport> listener;
    Socket stream;
};

using WatchTest = ToolManagerTest;

using Notices = std::vector<std::pair<TypeCode, std::string>>;

// The 'NOTE' events `tool` receives, each with the name in its ToolInfo.
Notices notices(FakeTool& tool) {
    Notices events;
    while (auto message = tool.receive(300)) {
        if (message->type == typeCode("NOTE"))
            events.emplace_back(message->getTypeParam(0),
                                decodeToolInfo(message->getParam(1)).name);
    }
    return events;
}
}  // namespace

TEST_F(WatchTest, ToolListingShowsEveryToolWithItsStateAndCommands) {
    FakeTool viewer("viewer", kViewer, true);
    FakeTool runner("runner", kRunner);
    for (FakeTool* tool : {&viewer, &runner}) ASSERT_EQ(registerFrom(*tool), 0);
    ASSERT_EQ(publish(viewer, "Show", 1, typeCode("QAGT")), 0);
    ASSERT_EQ(publish(runner, "Run", 0, kWildcardType), 0);
    ASSERT_EQ(publish(runner, "Attach", 2, kWildcardType), 0);
    ASSERT_TRUE(gToolRegistry->unloadTool(kRunner).ok());

    auto reply = deliver(newRequest("TLST"), viewer.info);
    ASSERT_EQ(std::make_pair(reply->getLongParam(0), int(reply->paramCount)), std::make_pair(0, 3));
    ToolListing first, second;
    ASSERT_TRUE(decodeToolListing(reply->getParam(1), reply->getParamLength(1), first));
    ASSERT_TRUE(decodeToolListing(reply->getParam(2), reply->getParamLength(2), second));
    // okamsg shows a loaded tool's listing end to end; here the other states.
    ASSERT_EQ(second.commands.size(), 2u);
    EXPECT_EQ(std::make_tuple(first.info.port, first.commands.size(), second.loaded,
                              second.isDefaultSourceViewer, second.commands[1].name,
                              second.commands[1].requirement),
              std::make_tuple(viewer.info.port, size_t(1), false, false, std::string("Attach"), 2));

    // A record whose length does not match its command count is refused.
    EXPECT_FALSE(decodeToolListing(reply->getParam(2), reply->getParamLength(2) - 1, second));
}

TEST_F(WatchTest, SubscribersHearOfToolsAndProjectsAndOthersHearNothingNew) {
    FakeTool listener("listener", typeCode("LSTN"));
    FakeTool quiet("quiet", kRunner);
    ASSERT_EQ(registerFrom(listener), 0);
    ASSERT_EQ(deliver(newRequest("NTFY"), listener.info)->getLongParam(0), 0);

    ASSERT_EQ(registerFrom(quiet), 0);
    ASSERT_TRUE(gToolRegistry->unloadTool(kRunner).ok());
    ASSERT_EQ(registerFrom(quiet), 0);
    ASSERT_EQ(deliver(newRequest("UNRT", kRunner), quiet.info)->getLongParam(0), 0);
    std::string project = (manager.home.path() / "other.prj").string();
    EXPECT_TRUE(gProjectManager->loadProject(project.c_str(), true).ok());

    EXPECT_EQ(notices(listener), (Notices{{typeCode("TADD"), "quiet"},
                                          {typeCode("TUNL"), "quiet"},
                                          {typeCode("TREG"), "quiet"},
                                          {typeCode("TREM"), "quiet"},
                                          {typeCode("PROJ"), ""}}));
    EXPECT_TRUE(notices(quiet).empty());

    // A subscriber that stopped listening is forgotten at the next notice.
    listener.die();
    ASSERT_EQ(registerFrom(quiet), 0);
    EXPECT_EQ(gWatchHub->subscriberCount(), 0u);
    EXPECT_EQ(deliver(newRequest("NTFY"), ToolInfo{})->getLongParam(0), kErrorWatchRefused);
}

TEST_F(WatchTest, WatchersSeeTheTrafficAndTheirLosses) {
    FakeTool tool("tool", kRunner);
    ASSERT_EQ(registerFrom(tool), 0);
    WatcherEnd everything;
    ASSERT_EQ(deliver(newRequest("WTCH", kWildcardType), everything.info)->getLongParam(0), 0);

    gToolRegistry->sendMsgToOneTool(&tool.info, typeCode("SHOW"));
    std::string longPath = "/projects/" + std::string(60, 'x') + ".qa";
    deliver(newRequest("SCHG", {longPath}), tool.info);
    Message look(typeCode("LOOK"), &gMessageCenter->getOwnToolInfo());
    look.addTypeParam(kRunner);
    tool.send(look);
    for (int i = 0; i < 20; ++i) gMessageCenter->poll();

    std::string lines;
    for (const auto& copy : everything.drain()) lines += describeWatchedMessage(*copy) + "\n";
    EXPECT_LT(lines.find("RECV WTCH watcher:"), lines.find('\n')) << "its own 'WTCH' first";
    for (const char* fragment :
         {"SEND SHOW Tool Manager(TOOL):", "RELY SCHG Tool Manager(TOOL):",
          "S255:\"/projects/xxxxxxxx", "xxx...\"", "RECV LOOK", "SEND RPLY"}) {
        EXPECT_NE(lines.find(fragment), std::string::npos) << fragment;
    }

    // A watcher that takes nothing loses copies; the count rides on later ones.
    WatcherEnd stalled;
    ASSERT_EQ(deliver(newRequest("WTCH", kWildcardType), stalled.info)->getLongParam(0), 0);
    Message bulky(typeCode("FCMP"), nullptr);
    bulky.addParam(kParamData, std::string(1024, 'b').data(), 1024);
    for (int i = 0; i < 4000; ++i) gWatchHub->messageSeen(bulky, kMessageSent);
    uint32_t dropped = gWatchHub->droppedFor(stalled.info.port);
    EXPECT_GT(dropped, 0u);
    EXPECT_FALSE(stalled.drain().empty());
    gWatchHub->messageSeen(bulky, kMessageSent);
    auto last = stalled.next();
    ASSERT_TRUE(last);
    EXPECT_EQ(uint32_t(last->getLongParam(2)), dropped);

    // A watcher that went away is given up.
    size_t watching = gWatchHub->watcherCount();
    everything.stream.reset();
    everything.listener.reset();
    for (int i = 0; i < 5 && gWatchHub->watcherCount() == watching; ++i) {
        gWatchHub->messageSeen(bulky, kMessageSent);
        gWatchHub->flushWatchers();
    }
    EXPECT_EQ(gWatchHub->watcherCount(), watching - 1);
}
