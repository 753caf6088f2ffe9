// How code below the windows asks the user a question: through the alert
// procedure that the program installs once its alert window exists. Until
// then (and in programs without one) the alert is logged and answered with
// its first button, so a question whose first button is "Cancel" never lets
// anything be overwritten without a person.
#pragma once

// Alert kinds; any other value is shown as a warning.
inline constexpr long kAlertCritical = 0;
inline constexpr long kAlertQuestion = 1;
inline constexpr long kAlertWarning = 2;
inline constexpr long kAlertInformation = 3;

// Shows an alert and returns 1, 2 or 3 for the button chosen, or 0 when no
// alert was shown. The arguments are those of displayAlertWindow
// (workspace/AlertWindow.h).
using AlertProc = long (*)(const char* message, long kind, const char* title, const char* button1,
                           const char* button2, const char* button3, unsigned char beep,
                           const char* helpKey);

// The procedure in force until one is installed: logs the alert and answers 1.
long logAlertAnswerFirst(const char* message, long kind, const char* title, const char* button1,
                         const char* button2, const char* button3, unsigned char beep,
                         const char* helpKey);

// Null restores logAlertAnswerFirst.
void setAlertProc(AlertProc procedure);
long askUser(const char* message, long kind, const char* title, const char* button1,
             const char* button2, const char* button3, unsigned char beep, const char* helpKey);
