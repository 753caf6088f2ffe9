#include "tools/WatchHub.h"

#include <algorithm>

#include "core/Log.h"
#include "core/Utilities.h"
#include "messaging/MessageCenter.h"
#include "messaging/WatchCopy.h"
#include "tools/RegisteredTool.h"

namespace {
constexpr const char* kLogSource = "../watch";

bool hasPort(const ToolInfo& program) {
    return program.port > 0 && program.port <= 65535;
}
}  // namespace

WatchHub* gWatchHub = nullptr;

WatchHub::WatchHub() {
    gMessageCenter->registerMessageHandler(kWatchMsg, watchMsg);
    gMessageCenter->registerMessageHandler(kSubscribeNoticesMsg, subscribeNoticesMsg);
    gMessageCenter->setObserver(this);
}

WatchHub::~WatchHub() {
    gMessageCenter->setObserver(nullptr);
    gMessageCenter->removeMessageHandler(kWatchMsg.code);
    gMessageCenter->removeMessageHandler(kSubscribeNoticesMsg.code);
}

void WatchHub::messageSeen(const Message& message, TypeCode direction) {
    if (watchers.empty()) return;
    const ToolInfo& self = gMessageCenter->getOwnToolInfo();
    for (auto& watcher : watchers) watcher->offerCopy(message, direction, self);
}

void WatchHub::toolAdded(const RegisteredTool& tool) {
    notify(kNoticeToolAdded, &tool.toolInfo, nullptr);
}

void WatchHub::toolReregistered(const RegisteredTool& tool) {
    notify(kNoticeToolReregistered, &tool.toolInfo, nullptr);
}

void WatchHub::toolUnloaded(const RegisteredTool& tool) {
    notify(kNoticeToolUnloaded, &tool.toolInfo, nullptr);
}

void WatchHub::toolRemoved(const RegisteredTool& tool) {
    notify(kNoticeToolRemoved, &tool.toolInfo, nullptr);
}

void WatchHub::projectChanged(const char* path) {
    notify(kNoticeProjectChanged, nullptr, path);
}

void WatchHub::notify(TypeCode event, const ToolInfo* tool, const char* path) {
    const ToolInfo& self = gMessageCenter->getOwnToolInfo();
    std::unique_ptr<Message> notice(makeNotice(event, tool, path));
    for (auto& watcher : watchers) watcher->offer(*notice, self);
    // Subscribers get it as an ordinary message; one that no longer listens
    // is forgotten.
    std::erase_if(subscribers, [&](const ToolInfo& subscriber) {
        notice->sender = self;
        notice->destination = subscriber;
        bool refused = gMessageCenter->getTransport().sendMessage(*notice).code() == kErrorPeerGone;
        if (refused) OKA_LOG("notice subscriber on port %d left", subscriber.port);
        return refused;
    });
}

void WatchHub::flushWatchers() {
    std::erase_if(watchers, [](const std::unique_ptr<WatchStream>& watcher) {
        if (watcher->flush()) return false;
        OKA_LOG("watcher on port %d given up after %u dropped copies", watcher->port(),
                unsigned(watcher->droppedCount()));
        return true;
    });
}

uint32_t WatchHub::droppedFor(int port) const {
    for (const auto& watcher : watchers) {
        if (watcher->port() == port) return watcher->droppedCount();
    }
    return 0;
}

bool WatchHub::addWatcher(const ToolInfo& watcher, TypeCode filter) {
    // A watcher that asks again starts a fresh stream.
    std::erase_if(watchers, [&](const auto& existing) { return existing->port() == watcher.port; });
    if (!hasPort(watcher) || watchers.size() >= kMaxWatchers) return false;
    auto stream = std::make_unique<WatchStream>(watcher, filter);
    if (!stream->isOpen()) return false;
    OKA_LOG("watcher on port %d for %s", watcher.port, TypeIdentToCStr(filter));
    watchers.push_back(std::move(stream));
    return true;
}

void WatchHub::greet(const Message& request) {
    // The stream opens with the watcher's own request, whatever its filter:
    // the watcher tells its stream from its reply by it.
    std::unique_ptr<Message> first(makeWatchCopy(request, kMessageReceived, 0));
    for (auto& watcher : watchers) {
        if (watcher->port() == request.sender.port)
            watcher->offer(*first, gMessageCenter->getOwnToolInfo());
    }
}

bool WatchHub::addSubscriber(const ToolInfo& subscriber) {
    std::erase_if(subscribers,
                  [&](const ToolInfo& existing) { return existing.port == subscriber.port; });
    if (!hasPort(subscriber) || subscribers.size() >= kMaxSubscribers) return false;
    subscribers.push_back(subscriber);
    OKA_LOG("notice subscriber on port %d", subscriber.port);
    return true;
}

int32_t WatchHub::watchMsg(Message* message, Message*) {
    if (!gWatchHub->addWatcher(message->sender, message->getTypeParam(0)))
        return kErrorWatchRefused;
    gWatchHub->greet(*message);
    return 0;
}

int32_t WatchHub::subscribeNoticesMsg(Message* message, Message*) {
    return gWatchHub->addSubscriber(message->sender) ? 0 : kErrorWatchRefused;
}
