// WindowManager: every program's bookkeeping of its own top-level windows.
// It answers the Tool Manager's requests to show ('SHOW'), minimize ('HIDE')
// or close ('CWIN') all of them, and in a tool also 'DSRC' (the tool's
// active source window is no longer the active one).
#pragma once

#include "workspace/HasErrorReporting.h"

class Message;

inline constexpr int32_t kErrorWindowNotFound = -701;

class WindowManager : public HasErrorReporting {
public:
    explicit WindowManager(bool isManagerProcess);
    ~WindowManager() override;

    // Shows (visible), minimizes (!visible) or destroys (close) every window.
    void setAllWindowsVisibility(bool visible, bool close);

    bool isManager() const { return isManagerProcess; }

private:
    void registerHandlers();

    static int32_t showAllWindowsMsg(Message* message, Message* reply);
    static int32_t hideAllWindowsMsg(Message* message, Message* reply);
    static int32_t closeAllWindowsMsg(Message* message, Message* reply);
    static int32_t deactivateSourceViewerMsg(Message* message, Message* reply);

    bool isManagerProcess;  // true in the Tool Manager, false in every tool
};
