// Headless backend: modal loops and pop-ups end at once when unscripted.
#include "toolkit/headless/HeadlessBackend.h"

#include <cstring>
#include <thread>

#include "core/Log.h"
#include "toolkit/automation/Automation.h"
#include "toolkit/widgets/AlarmList.h"
#include "toolkit/widgets/Dispatch.h"
#include "toolkit/widgets/MenuObj.h"
#include "toolkit/widgets/TButObj.h"
#include "toolkit/widgets/WinObj.h"

namespace {
constexpr const char* kLogSource = "../toolkit";
}

// The headless backend is the toolkit's default: it offers itself while
// statics are initialised. Nothing names this file, so every program asks
// the linker for the flag below (okatoolkit and the package descriptions
// pass --undefined=okaHeadlessBackendOffered), which keeps the file in.
extern "C" const bool okaHeadlessBackendOffered =
    (offerDefaultBackend([]() -> Backend* { return new HeadlessBackend; }), true);

// Without peers nothing can lose the focus visibly: only the gain is told.
void HeadlessBackend::focus(WgtObj* widget) {
    dispatchFocus(widget, true);
}

void HeadlessBackend::wait(int milliseconds) {
    // No input can arrive: waiting only makes sense until the next alarm.
    int untilAlarm = alarmMillisecondsToNext();
    if (untilAlarm < 0) return;
    if (milliseconds < 0 || untilAlarm < milliseconds) milliseconds = untilAlarm;
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void HeadlessBackend::runModal(WinObj* window) {
    if (window->modalEnded) return;
    noteUnscripted();
    auto* answer = dynamic_cast<TButObj*>(AUTO_FindChild(window, window->alertButtonPath.c_str()));
    if (!window->alertButtonPath.empty() && answer != nullptr) {
        OKA_LOG("unscripted alert \"%s\" answered with \"%s\"", window->name.c_str(),
                answer->label.c_str());
        dispatchActivate(answer);
    }
    if (!window->modalEnded) {
        OKA_LOG("unscripted modal window \"%s\" cancelled", window->name.c_str());
        WIN_ModalReturn(window, kModalCancelled);
    }
}

void HeadlessBackend::beep() {
    OKA_LOG("beep");
}

int HeadlessBackend::popupMenu(MenuObj* menu, WgtObj* /*anchor*/) {
    return takePopupChoice(menu);
}

bool HeadlessBackend::trackPointer(WgtObj* /*widget*/, int* x, int* y) {
    return takeDragPosition(x, y);
}

int HeadlessBackend::textWidth(const char* text, const FontObj& font) {
    return int(std::strlen(text)) * font.size * 6 / 10;
}
