// The stock warning alert, built in code so it exists before any library is read.
#include "toolkit/AlertWindow.h"

#include <memory>

#include "toolkit/resources/ResourceLibrary.h"
#include "toolkit/widgets/IAreaObj.h"
#include "toolkit/widgets/TButObj.h"
#include "toolkit/widgets/TEdObj.h"
#include "toolkit/widgets/WinObj.h"

namespace {
constexpr const char* kAlertLibrary = "AlrtW";
constexpr const char* kWarningAlert = "DefWarningAlrtW";
enum WarningChild { kChildIcon = 0, kChildMessage = 1, kChildOk = 2 };

void okNfy(TButObj* button, int code) {
    if (code == kNfyActivated) WIN_ModalReturn(button->window(), 1);
    TBUT_DefNfy(button, code);
}

std::unique_ptr<WinObj> makeWarningAlert() {
    auto window = std::make_unique<WinObj>();
    window->name = kWarningAlert;
    window->library = kAlertLibrary;
    window->label = "Warning";
    window->box = makeRect16(0, 0, 380, 130);
    window->alertButtonPath = std::to_string(kChildOk);
    auto icon = std::make_unique<IAreaObj>();
    icon->box = makeRect16(16, 16, 32, 32);
    auto message = std::make_unique<TEdObj>();
    message->box = makeRect16(64, 16, 300, 64);
    message->multiLine = true;
    message->editable = false;
    auto ok = std::make_unique<TButObj>();
    ok->name = "ok";
    ok->label = "OK";
    ok->isDefault = true;
    ok->box = makeRect16(284, 92, 80, 26);
    window->addChild(std::move(icon));
    window->addChild(std::move(message));
    window->addChild(std::move(ok));
    return window;
}
}  // namespace

void installStockAlerts() {
    findLibrary(kAlertLibrary, true)->windows[kWarningAlert] = makeWarningAlert();
}

WinObj* ALRTW_DefWarningAlrtW() {
    ResourceLibrary* library = findLibrary(kAlertLibrary, true);
    if (!library->findWindow(kWarningAlert)) installStockAlerts();
    return library->windows[kWarningAlert].get();
}

int ALRTW_Process(WinObj* alert, const char* text) {
    if (alert == nullptr) return kModalCancelled;
    auto* window = static_cast<WinObj*>(alert->clone().release());
    if (IconObj* icon = RES_LoadInit(kAlertLibrary, "DefIconWarningMsw"))
        static_cast<IAreaObj*>(window->childAt(kChildIcon))->icon = *icon;
    TED_SetStr(static_cast<TEdObj*>(window->childAt(kChildMessage)), text);
    RES_SetNfyProcDS(static_cast<TButObj*>(window->childAt(kChildOk)), okNfy, 0);
    WIN_Init(window);
    WIN_ModalProcess(window);
    return WIN_TerminateGetStatus(window);
}
