// The one modal alert of the system: a message, an icon for the alert's
// kind (core/AlertHook.h), a title and up to three buttons. Tools keep being
// answered while it is open. At most one alert is open at a time.
#pragma once

#include "core/AlertHook.h"

class WinObj;

// The open alert, or null while none is open.
extern WinObj* gAlertWindow;

// Shows the alert and returns 1, 2 or 3 for the button chosen, or 0 when no
// alert was shown (null message, or another alert is open: that beeps) or
// the window was closed without an answer. Null title: "Could not complete
// that operation"; null button1: "Ok"; null button2/button3: that button is
// hidden; null helpKey: "AlertWindow".
long displayAlertWindow(const char* message, long kind, const char* title, const char* button1,
                        const char* button2, const char* button3, unsigned char beep,
                        const char* helpKey);
