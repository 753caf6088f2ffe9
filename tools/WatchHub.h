// WatchHub: the Tool Manager's watchers and notice subscribers.
//
// A program that sends 'WTCH' becomes a watcher: the hub opens a connection
// of its own to the watcher's port and writes on it, back to back in the
// wire format, a 'WCPY' of the 'WTCH' itself, then a 'WCPY' for every
// message of the chosen type the Tool Manager receives, sends or relays
// (WatchCopy.h) and a 'NOTE' for every lifecycle event. Writing
// never waits (WatchStream). With nobody watching, the cost per message is
// one empty-list test.
//
// A program that sends 'NTFY' becomes a subscriber: it receives each 'NOTE'
// as an ordinary message (a tool handles it like any other). A subscriber
// that no longer listens is forgotten at the next notice.
//
// Notices: a tool was added, re-registered, unloaded or removed (the hub
// listens to the registry), or the project changed (projectChanged).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "messaging/MessageObserver.h"
#include "messaging/ToolInfo.h"
#include "tools/ToolRegistryListener.h"
#include "tools/WatchStream.h"

class Message;

// 'WTCH' or 'NTFY' refused: the sender gave no port, or too many already watch.
inline constexpr int32_t kErrorWatchRefused = -1410;

class WatchHub : public MessageObserver, public ToolRegistryListener {
  public:
    static constexpr size_t kMaxWatchers = 8;
    static constexpr size_t kMaxSubscribers = 64;

    // Registers the handlers of 'WTCH' and 'NTFY' and observes gMessageCenter.
    WatchHub();
    WatchHub(const WatchHub&) = delete;
    WatchHub& operator=(const WatchHub&) = delete;
    ~WatchHub() override;

    void messageSeen(const Message& message, TypeCode direction) override;
    void waitingForReply() override { flushWatchers(); }

    void toolAdded(const RegisteredTool& tool) override;
    void toolReregistered(const RegisteredTool& tool) override;
    void toolUnloaded(const RegisteredTool& tool) override;
    void toolRemoved(const RegisteredTool& tool) override;
    void projectChanged(const char* path);

    // Writes what the watchers' connections take and gives up the watchers
    // that failed or stalled. Called on every turn of the main loop.
    void flushWatchers();

    size_t watcherCount() const { return watchers.size(); }
    size_t subscriberCount() const { return subscribers.size(); }
    // The copies lost by the watcher on `port` so far; 0 when there is none.
    uint32_t droppedFor(int port) const;

    static int32_t watchMsg(Message* message, Message* reply);
    static int32_t subscribeNoticesMsg(Message* message, Message* reply);

  private:
    void notify(TypeCode event, const ToolInfo* tool, const char* path);
    bool addWatcher(const ToolInfo& watcher, TypeCode filter);
    bool addSubscriber(const ToolInfo& subscriber);
    void greet(const Message& request);

    std::vector<std::unique_ptr<WatchStream>> watchers;  // one per watching port
    std::vector<ToolInfo> subscribers;                   // one per subscribing port
};

extern WatchHub* gWatchHub;
