// The alert window "alertWindow" of the shared library: an icon button, a
// group of three buttons and the message field.
#include "workspace/AlertWindow.h"

#include <cstdio>
#include <cstring>

#include "core/Log.h"
#include "core/Utilities.h"
#include "messaging/MessageCenter.h"
#include "toolkit/automation/Automation.h"
#include "toolkit/resources/ResourceLibrary.h"
#include "toolkit/widgets/TButObj.h"
#include "toolkit/widgets/TEdObj.h"
#include "toolkit/widgets/WinObj.h"
#include "workspace/HelpManager.h"

WinObj* gAlertWindow = nullptr;

namespace {
constexpr const char* kLogSource = "../alerts";
constexpr const char* kDefaultTitle = "Could not complete that operation";
constexpr const char* kDefaultButton = "Ok";
constexpr const char* kDefaultHelpKey = "AlertWindow";

enum AlertChild { kIconButton = 0, kButtonGroup = 1, kMessageField = 2 };

// The kind's icon in the toolkit's alert library; every unknown kind warns.
const char* kindIconName(long kind) {
    switch (kind) {
        case kAlertCritical:
            return "DefIconCriticalMsw";
        case kAlertQuestion:
            return "DefIconQuestionMsw";
        case kAlertInformation:
            return "DefIconInfoMsw";
        default:
            return "DefIconWarningMsw";
    }
}

// Tools are served while the alert waits for the user.
void alertWindowNfy(WinObj* window, int code) {
    WIN_DefNfy(window, code);
    gMessageCenter->modalPoll(window, code);
}

// The icon is a picture: it takes neither the focus nor clicks.
void iconButtonNfy(TButObj* button, int code) {
    if (code == kNfyFocusGained || code == kNfyActivated) return;
    TBUT_DefNfy(button, code);
}

// The buttons end the alert with their number.
template <int kAnswer>
void answerButtonNfy(TButObj* button, int code) {
    if (code == kNfyActivated) WIN_ModalReturn(button->window(), kAnswer);
    TBUT_DefNfy(button, code);
}

// Labels a button, or hides it when it has no label. Escape presses the
// button that says "Cancel", wherever the caller put it.
void setUpButton(TButObj* button, const char* label) {
    if (label != nullptr) TBUT_SetLabel(button, label);
    WGT_SetVisibility(button, label != nullptr);
    button->isCancel = label != nullptr && std::strcmp(label, "Cancel") == 0;
}

// One line on the standard error: the program, the alert and the button that
// answered it (none when the alert was closed).
void tellAutomaticAnswer(WinObj* window, const char* title, const char* message, int status) {
    WgtObj* group = RES_GetNthChild(window, kButtonGroup);
    TButObj* button = nullptr;
    if (status >= 1 && status <= 3)
        button = dynamic_cast<TButObj*>(RES_GetNthChild(group, status - 1));
    std::fprintf(stderr, "%s: %s: %s [answered \"%s\" without a display]\n",
                 gToolName != nullptr ? gToolName : "", title, message,
                 button != nullptr ? TBUT_GetLabel(button) : "");
    std::fflush(stderr);
}
}  // namespace

long displayAlertWindow(const char* message, long kind, const char* title, const char* button1,
                        const char* button2, const char* button3, unsigned char beep,
                        const char* helpKey) {
    if (gAlertWindow != nullptr) {
        okaBeep();
        return 0;
    }
    if (message == nullptr) return 0;
    if (beep) okaBeep();
    if (title == nullptr) title = kDefaultTitle;
    OKA_LOG("alert \"%s\": %s", title, message);
    WinObj* window = WIN_Load("shared", "alertWindow");
    if (window == nullptr) return 0;

    RES_SetNfyProcDS(window, alertWindowNfy, 0);
    auto* icon = static_cast<TButObj*>(RES_GetNthChild(window, kIconButton));
    WgtObj* group = RES_GetNthChild(window, kButtonGroup);
    TButObj* buttons[3];
    for (int i = 0; i < 3; ++i) buttons[i] = static_cast<TButObj*>(RES_GetNthChild(group, i));
    RES_SetNfyProcDS(icon, iconButtonNfy, 0);
    RES_SetNfyProcDS(buttons[0], answerButtonNfy<1>, 0);
    RES_SetNfyProcDS(buttons[1], answerButtonNfy<2>, 0);
    RES_SetNfyProcDS(buttons[2], answerButtonNfy<3>, 0);
    // Tools that built no help manager show their alerts without F1 help.
    if (gHelpManager != nullptr) {
        gHelpManager->addModalHelp(window, helpKey != nullptr ? helpKey : kDefaultHelpKey, nullptr);
    }
    // Open from here on: a message handled while the window initialises
    // (modalPoll) and asking for an alert of its own gets the refusal.
    gAlertWindow = window;
    WIN_Init(window);

    TBUT_SetIcon(icon, RES_LoadInit("AlrtW", kindIconName(kind)));
    setUpButton(buttons[0], button1 != nullptr ? button1 : kDefaultButton);
    setUpButton(buttons[1], button2);
    setUpButton(buttons[2], button3);
    WIN_SetLabel(window, title);
    TED_SetStr(static_cast<TEdObj*>(RES_GetNthChild(window, kMessageField)), message);

    int unscripted = AUTO_UnscriptedCount();
    int status = WIN_ModalProcess(window);
    // Without a display nobody saw the question: the terminal shows it with
    // the answer it was given.
    if (AUTO_UnscriptedCount() > unscripted) tellAutomaticAnswer(window, title, message, status);
    WIN_TerminateGetStatus(window);
    gAlertWindow = nullptr;
    // Closing the window answers nothing.
    return status == kModalCancelled ? 0 : status;
}
