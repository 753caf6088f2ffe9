#include "kelvane/ModalWindow.h"

#include "messaging/MessageCenter.h"
#include "toolkit/Toolkit.h"

namespace {
void modalWindowNfy(WinObj* window, int code) {
    WIN_DefNfy(window, code);
    gMessageCenter->modalPoll(window, code);
}
}  // namespace

void okButtonNfy(TButObj* button, int code) {
    switch (code) {
        case kNfyActivated:
            WIN_ModalReturn(button->window(), 0);
            break;
        case kNfyFocusGained:
            break;
        default:
            TBUT_DefNfy(button, code);
    }
}

WinObj* loadModalWindow(const char* name) {
    WinObj* window = WIN_Load("kelvane", name);
    if (window != nullptr) RES_SetNfyProcDS(window, modalWindowNfy, 0);
    return window;
}

void runModalWindow(WinObj* window) {
    WIN_ModalProcess(window);
    WIN_TerminateGetStatus(window);
}
