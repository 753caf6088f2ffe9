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
// The registry also follows what the message center sees of the tools
// (PeerListener): a tool whose port refuses a message is unloaded at once,
// without waiting for the next probe; a tool that lets a request run out of
// time is marked not responding, and no request waits for it again until
// something arrives from it. A registration for a type whose copy is loaded
// first probes that copy: one that does not answer has died, and the
// newcomer takes its place.
//
// A tool's index is its position in the list; removing an entry moves every
// later entry down by one, so the source-viewer indexes are adjusted then.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/HasErrorReporting.h"
#include "messaging/PeerListener.h"
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

class ToolRegistry : public HasErrorReporting, public PeerListener {
  public:
    static constexpr uint32_t kTickleIntervalMs = 10000;
    // The first probe pass runs this long after creation plus the interval.
    static constexpr uint32_t kFirstTickleDelayMs = 20000;

    explicit ToolRegistry(MillisecondClock clock = nullptr);
    ToolRegistry(const ToolRegistry&) = delete;
    ToolRegistry& operator=(const ToolRegistry&) = delete;
    // Sends 'QUIT' to every loaded tool and removes the registry's handlers.
    ~ToolRegistry() override;

    // The protocol's handlers of 'REGT' and 'UNRT' remember what these
    // return as the last error; lookups and other getters leave it alone.
    Status registerTool(const ToolInfo* info, const char* path);
    Status unregisterTool(TypeCode type);

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

    // False while the tool of `type` is marked not responding.
    bool toolIsResponding(TypeCode type);
    // A request to the tool of `type` ran out of time: no request waits for
    // it until it is heard from again (logged once).
    void markNotResponding(TypeCode type);
    // Something arrived from the tool of `type`: it is waited for again.
    void markResponding(TypeCode type);

    // Starts the tool's program again (its failure to start: an errno).
    Status loadTool(TypeCode type);
    Status unloadTool(TypeCode type);
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

    // What the message center tells of the tools (PeerListener).
    void peerUnreachable(const ToolInfo& peer) override;
    void peerTimedOut(const ToolInfo& peer) override;
    void peerHeardFrom(const ToolInfo& peer) override;
    bool mayAwaitReply(const ToolInfo& peer) override;

    // "Sample Runner (SRUN)": the name and type of the tool listening on
    // `port` (a loaded one first), or "" when no registered tool has it.
    std::string describeToolAtPort(int port);

  private:
    RegisteredTool* entryOfType(TypeCode type, long* index);
    // The loaded entry that listens on `port`, or null; `index` gets its index.
    RegisteredTool* loadedEntryAtPort(int port, long* index);
    // Marks entry `index` unloaded and tells everybody: the common end of
    // an unload and of a tool found dead.
    void markUnloaded(RegisteredTool& entry, long index);
    // A tool whose port refuses: unloaded without a 'QUIT' it cannot take.
    void unloadDeadTool(RegisteredTool& entry, long index);
    // True when the registered copy `entry` still answers a probe, so a
    // newcomer `info` of its type must be refused.
    bool registeredCopyAnswers(const RegisteredTool& entry, const ToolInfo& info);
    void tellListeners(void (ToolRegistryListener::*event)(const RegisteredTool&),
                       const RegisteredTool& entry);

    List registeredTools;              // owned RegisteredTools in registration order
    long defaultSourceToolIndex = -1;  // the default source viewer, or -1
    long currentSourceToolIndex = -1;  // the source viewer active now, or -1
    MillisecondClock clock;            // time source of the probe passes
    uint32_t lastTicklePass = 0;       // clock time of the last probe pass
    std::vector<ToolRegistryListener*>
        listeners;  // told of added, re-registered, unloaded, removed tools
};

extern ToolRegistry* gToolRegistry;
