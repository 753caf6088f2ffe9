// Pending one-shot widget alarms (EVENT_StartWgtAlarm). Both backends fire
// them from their loops; an alarm is removed before its notification is
// delivered, so a procedure may start the next one.
#pragma once

#include <cstdint>

class WgtObj;

void alarmStart(WgtObj* widget, int milliseconds);
// Forgets every alarm of a widget that is going away.
void alarmCancelAll(WgtObj* widget);
// Delivers every alarm whose time has come; the number delivered.
int alarmFireDue();
// Delivers every pending alarm at once, due or not (automation).
int alarmFireAll();
// Milliseconds until the next alarm is due (0 when one is overdue), -1 with none.
int alarmMillisecondsToNext();
