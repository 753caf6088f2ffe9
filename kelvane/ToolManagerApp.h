// ToolManagerApp: the one owner of the Tool Manager's managers. It creates
// them in a fixed order (stopping at the first that reports an error), runs
// the main loop that alternates window-system events, message polling and
// tool probing, and shuts down in order: the tools are told to close their
// windows, their last messages are answered for three seconds, then the
// managers are deleted (the registry first, which tells every tool to quit).
// `main`, the tests and the benchmarks all use it; the managers stay
// reachable through their globals (gToolRegistry, gProjectManager, ...).
#pragma once

#include <cstdint>

#include "core/Utilities.h"
#include "projects/ProjectCommandContext.h"
#include "tools/ToolRegistry.h"

class PrefMan;
struct CursObj;

inline constexpr int kToolManagerPort = 4100;
inline constexpr unsigned kShutdownDrainMs = 3000;
// After a Tool Manager that died, how long the tools it started have to come
// back on their own before the tool list starts the missing ones.
inline constexpr unsigned kRestartGraceMs = 2500;

// The Tool Manager's preferences file ("kelvane.prf", type 'TPRF').
extern PrefMan* gPreferencesManager;
// The pointer shown over the boundaries of the component lists.
extern CursObj* gResizeHorCursor;

class ToolManagerApp {
  public:
    struct Options {
        int port = kToolManagerPort;             // first port tried for the listener
        MillisecondClock tickleClock = nullptr;  // clock of the liveness probes; null: the real one
    };

    ToolManagerApp() : ToolManagerApp(Options{}) {}
    explicit ToolManagerApp(const Options& options);
    ToolManagerApp(const ToolManagerApp&) = delete;
    ToolManagerApp& operator=(const ToolManagerApp&) = delete;
    // Deletes whatever shutDownApplication has not, in the same order, without
    // the drain: a failed start and the tests end here.
    ~ToolManagerApp();

    // Creates every global; 0, or the error of the first step that failed
    // (kErrorNoInstallation when OKA is not set). What was created stays
    // until the destructor.
    int32_t initializeApplication();
    // Starts the tools of the tool list. When the previous Tool Manager did
    // not end in order (its port file is still there), its tools may still
    // run: they notice the new port file and register again, keeping their
    // windows. The tool list then starts, kRestartGraceMs later, only the
    // programs that have not come back.
    void startTools();
    // Runs until gFinished is set.
    void runMainLoop();
    // Closes the tools' windows, keeps answering messages for three seconds,
    // then deletes the managers and the globals.
    void shutDownApplication();

  private:
    // One turn's wait: until a message or user input arrives, the next
    // toolkit alarm is due, or 50 ms have passed.
    void waitForInput();
    void deleteManagers();
    // Starts the tool list's programs that no loaded tool registered with.
    void launchMissingTools();

    Options options;
    ProjectCommandContext commandContext;  // what the tool commands run on
    bool globalsCreated = false;           // initializeGlobals ran and cleanUpGlobals has not
    bool previousEndedInOrder = true;      // no port file was left when this one started
    bool toolLaunchPending = false;        // the tool list waits for the restart grace
    uint32_t toolLaunchDue = 0;            // when it is started (TIME_GetCurMillisecs)
};
