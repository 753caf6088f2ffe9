#include "core/AlertHook.h"

#include "core/Log.h"
#include "core/Utilities.h"

namespace {
constexpr const char* kLogSource = "../alerts";

AlertProc alertProc = logAlertAnswerFirst;  // the program's alert window, once installed
}  // namespace

long logAlertAnswerFirst(const char* message, long /*kind*/, const char* title, const char* button1,
                         const char* /*button2*/, const char* /*button3*/, unsigned char beep,
                         const char* /*helpKey*/) {
    if (message == nullptr) return 0;
    if (beep) okaBeep();
    OKA_LOG("alert \"%s\": %s [%s]", title != nullptr ? title : "Could not complete that operation",
            message, button1 != nullptr ? button1 : "Ok");
    return 1;
}

void setAlertProc(AlertProc procedure) {
    alertProc = procedure != nullptr ? procedure : logAlertAnswerFirst;
}

long askUser(const char* message, long kind, const char* title, const char* button1,
             const char* button2, const char* button3, unsigned char beep, const char* helpKey) {
    return alertProc(message, kind, title, button1, button2, button3, beep, helpKey);
}
