// ToolRegistry: the Tool Manager's record of the environment's tools, one
// entry per tool type in registration order. Tools announce themselves with
// 'REGT' and leave with 'UNRT'; the registry tickles every loaded tool at
// most every ten seconds and unloads the ones that stop answering, starts a
// tool again from the tool list ("load") or tells it to quit ("unload"),
// relays messages to one or all tools, and tracks the default and the
// currently active source viewer. Whatever follows the set of tools (the
// project's file types, the commands, the workspace's icons) listens to it
// (ToolRegistryListener).
//
// A tool's index is its position in the list; removing an entry moves every
// later entry down by one, so the source-viewer indexes are adjusted then.
#pragma once

#include <cstdint>
#include <vector>

#include "core/HasErrorReporting.h"
#include "messaging/ToolInfo.h"
#include "storage/List.h"
#include "tools/ToolRegistryListener.h"

class Message;
class RegisteredTool;

inline constexpr int32_t kErrorToolAlreadyLoaded = -301;    // registration refused
inline constexpr int32_t kErrorToolNotFound = -302;         // no tool of that type or name
inline constexpr int32_t kErrorToolIndex = -303;            // index outside 0..count-1
inline constexpr int32_t kErrorLoadWhileLoaded = -304;      // load refused: already loaded
inline constexpr int32_t kErrorUnloadWhileUnloaded = -305;  // unload refused: not loaded
inline constexpr int32_t kErrorNoExecutable = -306;         // load impossible: no program name

// The millisecond clock of the liveness probes; tests substitute their own.
using MillisecondClock = uint32_t (*)();

class ToolRegistry : public HasErrorReporting {
public:
    static constexpr uint32_t kTickleIntervalMs = 10000;
    // The first probe pass runs this long after creation plus the interval.
    static constexpr uint32_t kFirstTickleDelayMs = 20000;

    explicit ToolRegistry(MillisecondClock clock = nullptr);
    ToolRegistry(const ToolRegistry&) = delete;
    ToolRegistry& operator=(const ToolRegistry&) = delete;
    // Sends 'QUIT' to every loaded tool and removes the registry's handlers.
    ~ToolRegistry() override;

    void registerTool(const ToolInfo* info, const char* path);
    void unregisterTool(TypeCode type);

    // Index of the first entry named `name` (byte-wise) when `name` is given,
    // else of the first entry of `type`; -1 when none.
    long findTool(TypeCode type, const char* name);
    // Takes entry `index` out of the list and hands it to the caller.
    RegisteredTool* removeTool(long index);
    long getToolCount() const { return registeredTools.getCount(); }

    // The returned ToolInfo lives as long as its entry.
    ToolInfo* lookupToolByType(TypeCode type);
    ToolInfo* lookupToolByNumber(long index);
    ToolInfo* lookupToolByName(const char* name);
    unsigned char toolIsLoaded(TypeCode type);
    // The whole entry, for the workspace's icons and menus; null when absent.
    RegisteredTool* getRegisteredTool(long index) const;

    void loadTool(TypeCode type);
    void unloadTool(TypeCode type);
    // Probes every loaded tool, at most once per kTickleIntervalMs.
    void tickleAllTools();

    void sendMsgToOneTool(const ToolInfo* tool, TypeCode code);
    void quitOneTool(const ToolInfo* tool);
    void quitAllTools();
    // Sends a copy of `message` to every registered tool, loaded or not, and
    // deletes `message`.
    void broadcastMessage(Message* message);
    // A parameterless message to every loaded tool.
    void broadcastMessageType(TypeCode code);

    void setDefaultSourceTool(const ToolInfo* tool);
    ToolInfo* getDefaultSourceTool();
    ToolInfo* getCurrentSourceTool();
    long findLoadedSourceToolIndex();
    void adjustUnloadedSourceToolIndicies(long index);
    void adjustRemovedSourceToolIndicies(long index);
    void setEmptySourceToolIndicies(long index);
    long getDefaultSourceToolIndex() const { return defaultSourceToolIndex; }
    long getCurrentSourceToolIndex() const { return currentSourceToolIndex; }

    // Listeners are told in the order they were added; the registry does
    // not own them.
    void addListener(ToolRegistryListener* listener);
    void removeListener(ToolRegistryListener* listener);

    // Handlers of 'REGT', 'UNRT', 'LOOK' (registered here) and of 'ASRC' and
    // 'DSRC' (registered by the start-up code).
    static int32_t callbackRegisterTool(Message* message, Message* reply);
    static int32_t callbackUnregisterTool(Message* message, Message* reply);
    static int32_t callbackLookupTool(Message* message, Message* reply);
    static int32_t activeSourceViewerChangedMsg(Message* message, Message* reply);

private:
    RegisteredTool* entryOfType(TypeCode type, long* index);
    void tellListeners(void (ToolRegistryListener::*event)(const RegisteredTool&),
                       const RegisteredTool& entry);

    List registeredTools;              // owned RegisteredTools in registration order
    long defaultSourceToolIndex = -1;  // the default source viewer, or -1
    long currentSourceToolIndex = -1;  // the source viewer active now, or -1
    MillisecondClock clock;            // time source of the probe passes
    uint32_t lastTicklePass = 0;       // clock time of the last probe pass
    std::vector<ToolRegistryListener*> listeners;  // told of added, re-registered, unloaded, removed tools
};

extern ToolRegistry* gToolRegistry;
