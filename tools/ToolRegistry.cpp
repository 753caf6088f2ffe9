// The tool registry: registration, lookups, loading and unloading, liveness
// probes, relaying and the source-viewer bookkeeping.
#include "tools/ToolRegistry.h"

#include <cstring>
#include <memory>

#include "core/Globals.h"
#include "core/Log.h"
#include "core/ToolLauncher.h"
#include "core/Utilities.h"
#include "messaging/MessageCenter.h"
#include "toolkit/SystemServices.h"
#include "tools/CommandManager.h"
#include "tools/ProjectFiles.h"
#include "tools/RegisteredTool.h"
#include "workspace/ToolIcons.h"

namespace {
constexpr const char* kLogSource = "../toolreg";

constexpr TypeCode kRegisterTool = typeCode("REGT");
constexpr TypeCode kUnregisterTool = typeCode("UNRT");
constexpr TypeCode kLookupTool = typeCode("LOOK");
constexpr TypeCode kDeactivateSource = typeCode("DSRC");
constexpr TypeCode kQuit = typeCode("QUIT");

// Icons stand in one row this far above the bottom of the icon panel.
constexpr int16_t kIconRowOffset = 59;
constexpr int16_t kIconLeft = 10;
constexpr int16_t kIconWidth = 70;
constexpr int16_t kIconHeight = 50;

// TypeIdentToCStr reuses one buffer; log lines with two codes need a copy.
struct CodeText {
    explicit CodeText(TypeCode code) { copyText(text, sizeof text, TypeIdentToCStr(code)); }
    char text[5];
};
}  // namespace

ToolRegistry* gToolRegistry = nullptr;

ToolRegistry::ToolRegistry(MillisecondClock clockSource)
    : registeredTools(kDefaultChunkSize, true, false),
      clock(clockSource ? clockSource : TIME_GetCurMillisecs) {
    MessageTemplate registration = makeTemplate({kParamData, kParamS255});
    MessageTemplate byType = makeTemplate({kParamType});
    gMessageCenter->registerMessageHandler(kRegisterTool, &registration, callbackRegisterTool);
    gMessageCenter->registerMessageHandler(kUnregisterTool, &byType, callbackUnregisterTool);
    gMessageCenter->registerMessageHandler(kLookupTool, &byType, callbackLookupTool);
    lastTicklePass = clock() + kFirstTickleDelayMs;
    OKA_LOG("created tool registry");
    lastError = 0;
}

ToolRegistry::~ToolRegistry() {
    quitAllTools();
    for (TypeCode type : {kRegisterTool, kUnregisterTool, kLookupTool}) {
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

void ToolRegistry::setUnloadedMark(RegisteredTool* entry, bool unloaded) {
    if (entry->icon != nullptr) setToolIconUnloaded(entry->icon, unloaded);
}

void ToolRegistry::registerTool(const ToolInfo* info, const char* path) {
    long index = findTool(info->toolType, nullptr);
    lastError = 0;
    if (index == -1) {
        Rect16 box;
        arrangeIconBoxes(info->name, &box);
        auto* entry = new RegisteredTool(info);
        registeredTools.include(entry);
        entry->setExecutableName(path);
        entry->iconBox = box;
        entry->icon = createToolIcon(&entry->toolInfo, &box);
        // The source viewer registered last becomes the default.
        if (info->isSourceViewer) defaultSourceToolIndex = registeredTools.getCount() - 1;
        OKA_LOG("added tool to registry");
    } else {
        RegisteredTool* entry = getRegisteredTool(index);
        if (entry->loaded) {
            lastError = kErrorToolAlreadyLoaded;
            return;
        }
        entry->setToolInfo(info);
        entry->loaded = 1;
        setUnloadedMark(entry, false);
        OKA_LOG("Tool: %shas re-registered", TypeIdentToCStr(info->toolType));
        // The tool came back on a new port; its commands must follow it.
        if (gCommandManager != nullptr) gCommandManager->updateAllCommandsToolInfo(info);
    }
    identifyProjectFiles();
}

void ToolRegistry::unregisterTool(TypeCode type) {
    long index = findTool(type, nullptr);
    if (index == -1) {
        lastError = kErrorToolNotFound;
        return;
    }
    lastError = 0;
    delete removeTool(index);
    adjustRemovedSourceToolIndicies(index);
    OKA_LOG("removed tool from registry");
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
    lastError = entry ? 0 : kErrorToolIndex;
    return entry ? &entry->toolInfo : nullptr;
}

ToolInfo* ToolRegistry::lookupToolByType(TypeCode type) {
    long index;
    RegisteredTool* entry = entryOfType(type, &index);
    lastError = entry ? 0 : kErrorToolNotFound;
    return entry ? &entry->toolInfo : nullptr;
}

ToolInfo* ToolRegistry::lookupToolByName(const char* name) {
    RegisteredTool* entry = getRegisteredTool(findTool(kWildcardType, name));
    lastError = entry ? 0 : kErrorToolNotFound;
    return entry ? &entry->toolInfo : nullptr;
}

unsigned char ToolRegistry::toolIsLoaded(TypeCode type) {
    long index;
    RegisteredTool* entry = entryOfType(type, &index);
    lastError = entry ? 0 : kErrorToolNotFound;
    return entry ? entry->loaded : 0;
}

void ToolRegistry::loadTool(TypeCode type) {
    long index;
    RegisteredTool* entry = entryOfType(type, &index);
    if (entry == nullptr) {
        lastError = kErrorToolNotFound;
        return;
    }
    if (entry->loaded) {
        lastError = kErrorLoadWhileLoaded;
        return;
    }
    if (entry->toolInfo.isSourceViewer) defaultSourceToolIndex = index;
    if (entry->executableName == nullptr || entry->executableName[0] == '\0') {
        lastError = kErrorNoExecutable;
        return;
    }
    lastError = 0;
    // The entry stays unloaded until the new process registers again.
    launchTools(entry->executableName);
}

void ToolRegistry::unloadTool(TypeCode type) {
    long index;
    RegisteredTool* entry = entryOfType(type, &index);
    if (entry == nullptr) {
        lastError = kErrorToolNotFound;
        return;
    }
    if (!entry->loaded) {
        lastError = kErrorUnloadWhileUnloaded;
        return;
    }
    quitOneTool(&entry->toolInfo);
    entry->loaded = 0;
    setUnloadedMark(entry, true);
    identifyProjectFiles();
    adjustUnloadedSourceToolIndicies(index);
    lastError = 0;
}

void ToolRegistry::tickleAllTools() {
    if (int32_t(clock() - (lastTicklePass + kTickleIntervalMs)) < 0) return;
    // Unloading never removes entries, so the indexes stay valid in the pass.
    long count = registeredTools.getCount();
    for (long i = 0; i < count; ++i) {
        const ToolInfo* tool = lookupToolByNumber(i);
        if (tool == nullptr || !toolIsLoaded(tool->toolType)) continue;
        gMessageCenter->tickleTool(*tool);
        if (gMessageCenter->getLastError() == kErrorTickleFailed) unloadTool(tool->toolType);
    }
    lastTicklePass = clock();
}

void ToolRegistry::sendMsgToOneTool(const ToolInfo* tool, TypeCode code) {
    if (!toolIsLoaded(tool->toolType)) return;
    OKA_LOG("Sending message %s registered tool %s", CodeText(code).text,
            CodeText(tool->toolType).text);
    gMessageCenter->sendMessage(new Message(code, tool));
}

void ToolRegistry::quitOneTool(const ToolInfo* tool) {
    sendMsgToOneTool(tool, kQuit);
}

void ToolRegistry::quitAllTools() {
    broadcastMessageType(kQuit);
}

void ToolRegistry::broadcastMessage(Message* message) {
    std::unique_ptr<Message> original(message);
    lastError = 0;
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

void ToolRegistry::arrangeIconBoxes(const char* name, Rect16* box) {
    *box = makeRect16(kIconLeft, toolIconPanelHeight() - kIconRowOffset, kIconWidth, kIconHeight);
    // Step past every icon whose name sorts before the new one; a move can
    // land on another such icon, so scan again until nothing moves.
    for (bool moved = true; moved;) {
        moved = false;
        for (long i = 0; i < registeredTools.getCount(); ++i) {
            RegisteredTool* entry = getRegisteredTool(i);
            if (entry->iconBox.x == box->x && std::strcmp(name, entry->toolInfo.name) > 0) {
                box->x = int16_t(box->x + kIconSpacing);
                moved = true;
                break;
            }
        }
    }
    for (long i = 0; i < registeredTools.getCount(); ++i) {
        RegisteredTool* entry = getRegisteredTool(i);
        if (entry->iconBox.x < box->x) continue;
        entry->iconBox.x = int16_t(entry->iconBox.x + kIconSpacing);
        if (entry->icon != nullptr) moveToolIcon(entry->icon, &entry->iconBox);
    }
}

void ToolRegistry::forgetToolIcon(const TButObj* icon) {
    for (long i = 0; i < registeredTools.getCount(); ++i) {
        RegisteredTool* entry = getRegisteredTool(i);
        if (entry->icon == icon) entry->icon = nullptr;
    }
}

int32_t ToolRegistry::callbackRegisterTool(Message* message, Message*) {
    if (message->getParamLength(0) < kToolInfoSize) {
        OKA_LOG("registration refused: a ToolInfo of %ld bytes", message->getParamLength(0));
        return kErrorBadParamType;
    }
    ToolInfo info = decodeToolInfo(message->getParam(0));
    char path[kPathSize];
    message->getTextParam(1, path, sizeof path);
    gToolRegistry->registerTool(&info, path[0] != '\0' ? path : nullptr);
    return gToolRegistry->getLastError();
}

int32_t ToolRegistry::callbackUnregisterTool(Message* message, Message*) {
    gToolRegistry->unregisterTool(message->getTypeParam(0));
    identifyProjectFiles();
    return gToolRegistry->getLastError();
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
    if (message->type == kDeactivateSource) {
        registry->currentSourceToolIndex = -1;
        return registry->getLastError();
    }
    registry->currentSourceToolIndex = index;
    // Only one source window is active across all tools.
    for (long j = 0; j < registry->getToolCount(); ++j) {
        if (j == index) continue;
        if (const ToolInfo* tool = registry->lookupToolByNumber(j)) {
            registry->sendMsgToOneTool(tool, kDeactivateSource);
        }
    }
    return registry->getLastError();
}
