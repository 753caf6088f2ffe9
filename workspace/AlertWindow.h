// The one modal alert of the system: a message, an icon for the alert's
// kind (core/AlertHook.h), a title and up to three buttons. Until the alert
// window is built on the toolkit, an alert is written to the log and
// answered with its first button.
#pragma once

#include "core/AlertHook.h"

// Shows the alert and returns 1, 2 or 3 for the button chosen, or 0 when no
// alert was shown (null message). Null title: "Could not complete that
// operation"; null button1: "Ok"; null button2/button3: that button is
// hidden; null helpKey: "AlertWindow".
long displayAlertWindow(const char* message, long kind, const char* title, const char* button1,
                        const char* button2, const char* button3, unsigned char beep,
                        const char* helpKey);
