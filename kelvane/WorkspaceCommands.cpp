#include "kelvane/WorkspaceCommands.h"

#include "core/Globals.h"
#include "kelvane/AboutWindow.h"
#include "kelvane/PreferencesWindow.h"
#include "messaging/MessageTypes.h"
#include "projects/GlobalPathManager.h"
#include "projects/NewEngineWindow.h"
#include "projects/ProjectFilePicker.h"
#include "projects/ProjectManager.h"
#include "tools/ToolRegistry.h"
#include "workspace/ErrorText.h"

namespace {
struct ButtonCommand {
    char digit;              // first character of the button's resource name
    int id;                  // the command it runs
    const char* statusText;  // shown while the pointer is over the button
};

constexpr ButtonCommand kButtonCommands[] = {
    {'1', 101, "Create a new OKA project"},
    {'2', 102, "Open an existing OKA project"},
    {'3', 103, "Add a file to the current project"},
    {'4', 104, "Add an engine to the current project"},
    {'5', 105, "Remove the selected component from the current project"},
    {'6', 121, "Create a new component list"},
    {'7', 131, "Edit the paths tools use to locate files"},
    {'8', 141, "Restore all OKA windows currently minimized"},
    {'9', 142, "Minimize all OKA windows except for the Project Manager window"},
};

void addComponentList() {
    gProjectManager->addComponentView();
    alertIfFailed(gProjectManager->saveProject());
}
}  // namespace

void runWorkspaceCommand(int id) {
    switch (id) {
        case 101:
            chooseProject(true);
            break;
        case 102:
            chooseProject(false);
            break;
        case 103:
            addFileWithPicker();
            break;
        case 104:
            displayNewEngineWindow(nullptr, 0);
            break;
        case 105:
            alertIfFailed(gProjectManager->removeSelectedComponent());
            break;
        case 106:
            displayKelvanePreferences();
            break;
        case kQuitCommand:
            gFinished = 1;
            break;
        case 121:
            addComponentList();
            break;
        case 131:
            gGlobalPathManager->editGlobalPaths();
            break;
        // The tools show or minimize their windows; the Tool Manager's stay.
        case 141:
            gToolRegistry->broadcastMessageType(kShowWindowsMsg.code);
            break;
        case 142:
            gToolRegistry->broadcastMessageType(kHideWindowsMsg.code);
            break;
        case kAboutCommand:
            displayAboutWindow();
            break;
        default:
            break;
    }
}

int buttonCommand(const char* resourceName) {
    for (const ButtonCommand& button : kButtonCommands) {
        if (resourceName != nullptr && resourceName[0] == button.digit) return button.id;
    }
    return 0;
}

const char* buttonStatusText(int id) {
    for (const ButtonCommand& button : kButtonCommands) {
        if (button.id == id) return button.statusText;
    }
    return nullptr;
}
