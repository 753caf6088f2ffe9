// The tool registry: registration, lookups, loading and unloading, liveness
// probes, relaying and the source-viewer bookkeeping.
#include "tools/ToolRegistry.h"

#include <cstring>
#include <memory>

#include "core/Log.h"
#include "core/Platform.h"
#include "core/Utilities.h"
#include "messaging/MessageCenter.h"
#include "messaging/PortLabel.h"
#include "tools/RegisteredTool.h"
#include "tools/ToolLauncher.h"

namespace {
constexpr const char* kLogSource = "../toolreg";

// TypeIdentToCStr reuses one buffer; log lines with two codes need a copy.
struct CodeText {
    explicit CodeText(TypeCode code) { copyText(text, sizeof text, TypeIdentToCStr(code)); }
    char text[5];
};

std::string nameToolAtPort(int port) {
    return gToolRegistry != nullptr ? gToolRegistry->describeToolAtPort(port) : std::string();
}
}  // namespace

ToolRegistry* gToolRegistry = nullptr;

ToolRegistry::ToolRegistry(MillisecondClock clockSource)
    : registeredTools(kDefaultChunkSize, true, false),
      clock(clockSource ? clockSource : currentMilliseconds) {
    gMessageCenter->registerMessageHandler(kRegisterToolMsg, callbackRegisterTool);
    gMessageCenter->registerMessageHandler(kUnregisterToolMsg, callbackUnregisterTool);
    gMessageCenter->registerMessageHandler(kLookupToolMsg, callbackLookupTool);
    lastTicklePass = clock() + kFirstTickleDelayMs;
    gMessageCenter->setPeerListener(this);
    setPortNamer(nameToolAtPort);
    OKA_LOG("created tool registry");
}

ToolRegistry::~ToolRegistry() {
    // Tools that fail to take their 'QUIT' are not unloaded any more.
    gMessageCenter->setPeerListener(nullptr);
    setPortNamer(nullptr);
    quitAllTools();
    for (TypeCode type : {kRegisterToolMsg.code, kUnregisterToolMsg.code, kLookupToolMsg.code}) {
        gMessageCenter->removeMessageHandler(type);
    }
}

RegisteredTool* ToolRegistry::getRegisteredTool(long index) const {
    if (index < 0 || index >= registeredTools.getCount()) return nullptr;
    return static_cast<RegisteredTool*>(registeredTools.get(index));
}

RegisteredTool* ToolRegistry::entryOfType(TypeCode type, long* index) {
    *index = findTool(type, nullptr);
    return getRegisteredTool(*index);
}

void ToolRegistry::addListener(ToolRegistryListener* listener) {
    listeners.push_back(listener);
}

void ToolRegistry::removeListener(ToolRegistryListener* listener) {
    std::erase(listeners, listener);
}

void ToolRegistry::tellListeners(void (ToolRegistryListener::*event)(const RegisteredTool&),
                                 const RegisteredTool& entry) {
    // A copy: a listener may add or remove listeners while it is told.
    std::vector<ToolRegistryListener*> current = listeners;
    for (ToolRegistryListener* listener : current) (listener->*event)(entry);
}

Status ToolRegistry::registerTool(const ToolInfo* info, const char* path) {
    long index = findTool(info->toolType, nullptr);
    if (index == -1) {
        auto* entry = new RegisteredTool(info);
        registeredTools.include(entry);
        entry->setExecutableName(path);
        // The source viewer registered last becomes the default.
        if (info->isSourceViewer) defaultSourceToolIndex = registeredTools.getCount() - 1;
        OKA_LOG("added tool to registry");
        tellListeners(&ToolRegistryListener::toolAdded, *entry);
    } else {
        RegisteredTool* entry = getRegisteredTool(index);
        if (entry->loaded && registeredCopyAnswers(*entry, *info)) {
            return Status(kErrorToolAlreadyLoaded);
        }
        entry->setToolInfo(info);
        entry->loaded = 1;
        entry->notResponding = false;
        OKA_LOG("Tool: %shas re-registered", TypeIdentToCStr(info->toolType));
        tellListeners(&ToolRegistryListener::toolReregistered, *entry);
    }
    return kSuccess;
}

bool ToolRegistry::registeredCopyAnswers(const RegisteredTool& entry, const ToolInfo& info) {
    // Two processes cannot listen on one port: the newcomer's port is free
    // only because the registered copy is gone.
    bool answers = entry.toolInfo.port != info.port;
    if (answers) {
        answers = gMessageCenter->tickleTool(entry.toolInfo).ok();
    }
    if (!answers) {
        OKA_LOG("%s does not answer on port %d: the new copy takes its place",
                describeTool(entry.toolInfo).c_str(), int(entry.toolInfo.port));
    }
    return answers;
}

Status ToolRegistry::unregisterTool(TypeCode type) {
    long index = findTool(type, nullptr);
    if (index == -1) return Status(kErrorToolNotFound);
    std::unique_ptr<RegisteredTool> entry(removeTool(index));
    adjustRemovedSourceToolIndicies(index);
    tellListeners(&ToolRegistryListener::toolRemoved, *entry);
    OKA_LOG("removed tool from registry");
    return kSuccess;
}

long ToolRegistry::findTool(TypeCode type, const char* name) {
    for (long i = 0; i < registeredTools.getCount(); ++i) {
        const ToolInfo* tool = lookupToolByNumber(i);
        if (tool == nullptr) continue;
        bool matches =
            name != nullptr ? std::strcmp(tool->name, name) == 0 : tool->toolType == type;
        if (matches) return i;
    }
    return -1;
}

RegisteredTool* ToolRegistry::removeTool(long index) {
    return static_cast<RegisteredTool*>(registeredTools.removei(index));
}

ToolInfo* ToolRegistry::lookupToolByNumber(long index) {
    RegisteredTool* entry = getRegisteredTool(index);
    return entry ? &entry->toolInfo : nullptr;
}

ToolInfo* ToolRegistry::lookupToolByType(TypeCode type) {
    long index;
    RegisteredTool* entry = entryOfType(type, &index);
    return entry ? &entry->toolInfo : nullptr;
}

ToolInfo* ToolRegistry::lookupToolByName(const char* name) {
    RegisteredTool* entry = getRegisteredTool(findTool(kWildcardType, name));
    return entry ? &entry->toolInfo : nullptr;
}

unsigned char ToolRegistry::toolIsLoaded(TypeCode type) {
    long index;
    RegisteredTool* entry = entryOfType(type, &index);
    return entry ? entry->loaded : 0;
}

Status ToolRegistry::loadTool(TypeCode type) {
    long index;
    RegisteredTool* entry = entryOfType(type, &index);
    if (entry == nullptr) return Status(kErrorToolNotFound);
    if (entry->loaded) return Status(kErrorLoadWhileLoaded);
    if (entry->toolInfo.isSourceViewer) defaultSourceToolIndex = index;
    if (entry->executableName == nullptr || entry->executableName[0] == '\0') {
        return Status(kErrorNoExecutable);
    }
    // The entry stays unloaded until the new process registers again.
    return launchTools(entry->executableName);
}

Status ToolRegistry::unloadTool(TypeCode type) {
    long index;
    RegisteredTool* entry = entryOfType(type, &index);
    if (entry == nullptr) return Status(kErrorToolNotFound);
    if (!entry->loaded) return Status(kErrorUnloadWhileUnloaded);
    quitOneTool(&entry->toolInfo);
    // A 'QUIT' that found the port closed has unloaded the tool already.
    if (entry->loaded) markUnloaded(*entry, index);
    return kSuccess;
}

void ToolRegistry::markUnloaded(RegisteredTool& entry, long index) {
    entry.loaded = 0;
    entry.notResponding = false;
    tellListeners(&ToolRegistryListener::toolUnloaded, entry);
    adjustUnloadedSourceToolIndicies(index);
}

void ToolRegistry::unloadDeadTool(RegisteredTool& entry, long index) {
    OKA_LOG("%s does not answer on port %d: unloaded", describeTool(entry.toolInfo).c_str(),
            int(entry.toolInfo.port));
    markUnloaded(entry, index);
}

void ToolRegistry::tickleAllTools() {
    if (int32_t(clock() - (lastTicklePass + kTickleIntervalMs)) < 0) return;
    // Unloading never removes entries, so the indexes stay valid in the pass.
    long count = registeredTools.getCount();
    for (long i = 0; i < count; ++i) {
        RegisteredTool* entry = getRegisteredTool(i);
        if (entry == nullptr || !entry->loaded) continue;
        if (!gMessageCenter->tickleTool(entry->toolInfo).ok()) unloadDeadTool(*entry, i);
    }
    lastTicklePass = clock();
}

bool ToolRegistry::toolIsResponding(TypeCode type) {
    long index;
    RegisteredTool* entry = entryOfType(type, &index);
    return entry != nullptr && !entry->notResponding;
}

void ToolRegistry::markNotResponding(TypeCode type) {
    long index;
    RegisteredTool* entry = entryOfType(type, &index);
    if (entry == nullptr || !entry->loaded || entry->notResponding) return;
    entry->notResponding = true;
    OKA_LOG("%s is not responding: no request waits for it until it is heard from",
            describeTool(entry->toolInfo).c_str());
}

void ToolRegistry::markResponding(TypeCode type) {
    long index;
    RegisteredTool* entry = entryOfType(type, &index);
    if (entry == nullptr || !entry->notResponding) return;
    entry->notResponding = false;
    OKA_LOG("%s responds again", describeTool(entry->toolInfo).c_str());
}

RegisteredTool* ToolRegistry::loadedEntryAtPort(int port, long* index) {
    for (long i = 0; i < registeredTools.getCount(); ++i) {
        RegisteredTool* entry = getRegisteredTool(i);
        if (entry->loaded && entry->toolInfo.port == port) {
            *index = i;
            return entry;
        }
    }
    *index = -1;
    return nullptr;
}

void ToolRegistry::peerUnreachable(const ToolInfo& peer) {
    long index;
    if (RegisteredTool* entry = loadedEntryAtPort(peer.port, &index)) unloadDeadTool(*entry, index);
}

void ToolRegistry::peerTimedOut(const ToolInfo& peer) {
    long index;
    if (RegisteredTool* entry = loadedEntryAtPort(peer.port, &index)) {
        markNotResponding(entry->toolInfo.toolType);
    }
}

void ToolRegistry::peerHeardFrom(const ToolInfo& peer) {
    long index;
    RegisteredTool* entry = loadedEntryAtPort(peer.port, &index);
    // Every reply passes here: a tool known to respond needs no second lookup.
    if (entry != nullptr && entry->notResponding && entry->toolInfo.toolType == peer.toolType) {
        markResponding(peer.toolType);
    }
}

bool ToolRegistry::mayAwaitReply(const ToolInfo& peer) {
    long index;
    RegisteredTool* entry = loadedEntryAtPort(peer.port, &index);
    return entry == nullptr || !entry->notResponding;
}

std::string ToolRegistry::describeToolAtPort(int port) {
    long index;
    const RegisteredTool* entry = loadedEntryAtPort(port, &index);
    // An unloaded tool's last port still names it in the lines about the
    // messages that are relayed to every tool.
    for (long i = 0; entry == nullptr && i < registeredTools.getCount(); ++i) {
        if (getRegisteredTool(i)->toolInfo.port == port) entry = getRegisteredTool(i);
    }
    return entry != nullptr ? describeTool(entry->toolInfo) : std::string();
}

void ToolRegistry::sendMsgToOneTool(const ToolInfo* tool, TypeCode code) {
    if (!toolIsLoaded(tool->toolType)) return;
    OKA_LOG("Sending message %s registered tool %s", CodeText(code).text,
            CodeText(tool->toolType).text);
    gMessageCenter->sendMessage(new Message(code, tool));
}

void ToolRegistry::quitOneTool(const ToolInfo* tool) {
    sendMsgToOneTool(tool, kQuitMsg.code);
}

void ToolRegistry::quitAllTools() {
    broadcastMessageType(kQuitMsg.code);
}

void ToolRegistry::broadcastMessage(Message* message) {
    std::unique_ptr<Message> original(message);
    for (long i = 0; i < registeredTools.getCount(); ++i) {
        const ToolInfo* tool = lookupToolByNumber(i);
        if (tool == nullptr) continue;
        auto* copy = new Message(*original);
        copy->destination = *tool;
        // Relayed messages are notifications: waiting for every tool's
        // answer would stall the Tool Manager (and deadlock with a sender
        // that waits for the Tool Manager's own reply).
        copy->wantsReply = 0;
        gMessageCenter->sendMessage(copy);
    }
}

void ToolRegistry::broadcastMessageType(TypeCode code) {
    for (long i = 0; i < registeredTools.getCount(); ++i) {
        if (const ToolInfo* tool = lookupToolByNumber(i)) sendMsgToOneTool(tool, code);
    }
}

void ToolRegistry::setDefaultSourceTool(const ToolInfo* tool) {
    defaultSourceToolIndex = findTool(tool->toolType, nullptr);
}

ToolInfo* ToolRegistry::getDefaultSourceTool() {
    return lookupToolByNumber(defaultSourceToolIndex);
}

ToolInfo* ToolRegistry::getCurrentSourceTool() {
    long index = currentSourceToolIndex != -1 ? currentSourceToolIndex : defaultSourceToolIndex;
    return index == -1 ? nullptr : lookupToolByNumber(index);
}

long ToolRegistry::findLoadedSourceToolIndex() {
    for (long i = 0; i < registeredTools.getCount(); ++i) {
        RegisteredTool* entry = getRegisteredTool(i);
        if (entry->loaded && entry->toolInfo.isSourceViewer) return i;
    }
    return -1;
}

void ToolRegistry::adjustUnloadedSourceToolIndicies(long index) {
    if (defaultSourceToolIndex == index || defaultSourceToolIndex == -1) {
        defaultSourceToolIndex = findLoadedSourceToolIndex();
    }
    if (currentSourceToolIndex == index || currentSourceToolIndex == -1) {
        currentSourceToolIndex = defaultSourceToolIndex;
    }
}

void ToolRegistry::adjustRemovedSourceToolIndicies(long index) {
    if (defaultSourceToolIndex == index || defaultSourceToolIndex == -1) {
        defaultSourceToolIndex = findLoadedSourceToolIndex();
    } else if (defaultSourceToolIndex > index) {
        --defaultSourceToolIndex;
    }
    if (currentSourceToolIndex == index || currentSourceToolIndex == -1) {
        currentSourceToolIndex = defaultSourceToolIndex;
    } else if (currentSourceToolIndex > index) {
        --currentSourceToolIndex;
    }
}

void ToolRegistry::setEmptySourceToolIndicies(long index) {
    if (defaultSourceToolIndex == -1) defaultSourceToolIndex = index;
    if (currentSourceToolIndex == -1) currentSourceToolIndex = defaultSourceToolIndex;
}

int32_t ToolRegistry::callbackRegisterTool(Message* message, Message*) {
    if (message->getParamLength(0) < kToolInfoSize) {
        OKA_LOG("registration refused: a ToolInfo of %ld bytes", message->getParamLength(0));
        return kErrorBadParamType;
    }
    ToolInfo info = decodeToolInfo(message->getParam(0));
    char path[kPathSize];
    message->getTextParam(1, path, sizeof path);
    ToolRegistry* registry = gToolRegistry;
    return registry->remember(registry->registerTool(&info, path[0] != '\0' ? path : nullptr))
        .code();
}

int32_t ToolRegistry::callbackUnregisterTool(Message* message, Message*) {
    ToolRegistry* registry = gToolRegistry;
    return registry->remember(registry->unregisterTool(message->getTypeParam(0))).code();
}

int32_t ToolRegistry::callbackLookupTool(Message* message, Message* reply) {
    const ToolInfo* tool = gToolRegistry->lookupToolByType(message->getTypeParam(0));
    reply->addBoolParam(tool != nullptr);
    if (tool != nullptr) {
        uint8_t bytes[kToolInfoSize];
        encodeToolInfo(*tool, bytes);
        reply->addParam(kParamData, bytes, kToolInfoSize);
    }
    return 0;
}

int32_t ToolRegistry::activeSourceViewerChangedMsg(Message* message, Message*) {
    ToolRegistry* registry = gToolRegistry;
    long index = registry->findTool(message->sender.toolType, nullptr);
    if (index == -1) return -1;
    if (message->type == kDeactivateSourceMsg.code) {
        registry->currentSourceToolIndex = -1;
        return 0;
    }
    registry->currentSourceToolIndex = index;
    // Only one source window is active across all tools.
    for (long j = 0; j < registry->getToolCount(); ++j) {
        if (j == index) continue;
        if (const ToolInfo* tool = registry->lookupToolByNumber(j)) {
            registry->sendMsgToOneTool(tool, kDeactivateSourceMsg.code);
        }
    }
    return 0;
}
