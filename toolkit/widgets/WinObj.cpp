// Windows: showing, modal loops and the two-step destruction.
#include "toolkit/widgets/WinObj.h"

#include "toolkit/widgets/Backend.h"
#include "toolkit/widgets/MBarObj.h"
#include "toolkit/widgets/WidgetObserver.h"

WinObj::WinObj() : PanelObj(WgtKind::Window) {}

WinObj::WinObj(const WinObj& other)
    : PanelObj(other),
      label(other.label),
      icon(other.icon),
      menuBar(other.menuBar ? std::make_unique<MBarObj>(*other.menuBar, this) : nullptr),
      library(other.library),
      alertButtonPath(other.alertButtonPath),
      resizable(other.resizable),
      minimumWidth(other.minimumWidth),
      minimumHeight(other.minimumHeight),
      closesOnEscape(other.closesOnEscape) {}

WinObj::~WinObj() = default;

std::unique_ptr<WgtObj> WinObj::clone() const {
    return std::make_unique<WinObj>(*this);
}

void WinObj::defaultNotify(int code) {
    if (code != kNfyWindowClosed || terminating) {
        PanelObj::defaultNotify(code);
        return;
    }
    // Closing a modal window ends its loop; its creator destroys it.
    if (modalRunning) {
        WIN_ModalReturn(this, kModalCancelled);
        return;
    }
    closeNotified = true;
    WIN_TerminateGetStatus(this);
}

void WinObj::release() {
    // The menu bar has no peer of its own: it goes with the window.
    PanelObj::release();
    menuBar.reset();
}

void WIN_DefNfy(WinObj* window, int code) {
    if (window) window->WinObj::defaultNotify(code);
}

void WIN_Init(WinObj* window) {
    if (window == nullptr) return;
    window->initialized = true;
    WGT_InitTree(window);
}

void WIN_Show(WinObj* window) {
    if (window == nullptr) return;
    window->shown = true;
    window->minimized = false;
    currentBackend().show(window);
}

void WIN_SetLabel(WinObj* window, const char* label) {
    if (window == nullptr) return;
    window->label = label ? label : "";
    window->changed();
}

const char* WIN_GetLabel(const WinObj* window) {
    return window ? window->label.c_str() : "";
}

void WIN_SetIcon(WinObj* window, IconObj* icon) {
    if (window == nullptr) return;
    window->icon = icon;
    window->changed();
}

MBarObj* WIN_GetMenuBar(WinObj* window) {
    if (window == nullptr) return nullptr;
    if (!window->menuBar) window->menuBar = std::make_unique<MBarObj>(window);
    return window->menuBar.get();
}

PanelObj* WIN_GetPanel(WinObj* window) {
    return window;
}

void WIN_Configure(WinObj* window, const Rect16* box) {
    WGT_SetBox(window, box);
}

void WIN_Minimize(WinObj* window) {
    if (window == nullptr) return;
    window->minimized = true;
    currentBackend().minimize(window);
}

void WIN_PopToFront(WinObj* window) {
    WIN_Show(window);
}

int WIN_ModalProcess(WinObj* window) {
    if (window == nullptr) return kModalCancelled;
    window->modalRunning = true;
    window->modalEnded = false;
    WIN_Show(window);
    if (WidgetObserver* observer = widgetObserver()) observer->modalStarting(window);
    if (!window->modalEnded) currentBackend().runModal(window);
    window->modalRunning = false;
    return window->status;
}

void WIN_ModalReturn(WinObj* window, int status) {
    if (window == nullptr) return;
    window->status = status;
    window->modalEnded = true;
}

int WIN_TerminateGetStatus(WinObj* window) {
    if (window == nullptr || window->terminating) return 0;
    window->terminating = true;
    if (!window->closeNotified) {
        window->closeNotified = true;
        window->notify(kNfyWindowClosed);
    }
    window->notify(kNfyWindowDestroyed);
    int status = window->status;
    window->release();
    delete window;
    return status;
}
