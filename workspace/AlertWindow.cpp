#include "workspace/AlertWindow.h"

long displayAlertWindow(const char* message, long kind, const char* title, const char* button1,
                        const char* button2, const char* button3, unsigned char beep,
                        const char* helpKey) {
    return logAlertAnswerFirst(message, kind, title, button1, button2, button3, beep, helpKey);
}
