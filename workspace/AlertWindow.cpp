// Alerts without a window: the alert goes to the log and the first button is
// the answer.
#include "workspace/AlertWindow.h"

#include "core/Log.h"
#include "core/Utilities.h"

namespace {
constexpr const char* kLogSource = "../alerts";
constexpr const char* kDefaultTitle = "Could not complete that operation";
constexpr const char* kDefaultButton = "Ok";
}  // namespace

long displayAlertWindow(const char* message, long /*kind*/, const char* title,
                        const char* button1, const char* /*button2*/, const char* /*button3*/,
                        unsigned char beep, const char* /*helpKey*/) {
    if (message == nullptr) return 0;
    if (beep) okaBeep();
    OKA_LOG("alert \"%s\": %s [%s]", title != nullptr ? title : kDefaultTitle, message,
            button1 != nullptr ? button1 : kDefaultButton);
    return 1;
}
