// The pending alarms, kept unsorted: a modal dialog holds one or two at a
// time, so finding the next due one by a linear scan is cheap.
#include "toolkit/widgets/AlarmList.h"

#include <vector>

#include "toolkit/base/SystemServices.h"
#include "toolkit/widgets/WgtObj.h"

namespace {

struct Alarm {
    WgtObj* widget;    // who is notified
    uint32_t dueTime;  // TIME_GetCurMillisecs value at which it fires
};

std::vector<Alarm> gAlarms;  // pending alarms in start order

bool isDue(const Alarm& alarm, uint32_t now) {
    return int32_t(now - alarm.dueTime) >= 0;
}

// Delivers the first alarm that `select` accepts; false when none is left.
template <class Predicate>
bool fireFirst(Predicate select) {
    for (size_t index = 0; index < gAlarms.size(); ++index) {
        if (!select(gAlarms[index])) continue;
        WgtObj* widget = gAlarms[index].widget;
        gAlarms.erase(gAlarms.begin() + long(index));
        widget->notify(kNfyAlarm);
        return true;
    }
    return false;
}

}  // namespace

void alarmStart(WgtObj* widget, int milliseconds) {
    if (widget == nullptr) return;
    gAlarms.push_back(
        {widget, TIME_GetCurMillisecs() + uint32_t(milliseconds < 0 ? 0 : milliseconds)});
}

void alarmCancelAll(WgtObj* widget) {
    std::erase_if(gAlarms, [widget](const Alarm& alarm) { return alarm.widget == widget; });
}

int alarmFireDue() {
    // Alarms started by the procedures themselves wait for the next round.
    uint32_t now = TIME_GetCurMillisecs();
    size_t limit = gAlarms.size();
    int fired = 0;
    while (size_t(fired) < limit &&
           fireFirst([now](const Alarm& alarm) { return isDue(alarm, now); }))
        ++fired;
    return fired;
}

int alarmFireAll() {
    std::vector<Alarm> pending = gAlarms;
    int fired = 0;
    for (const Alarm& alarm : pending) {
        WgtObj* widget = alarm.widget;
        bool stillPending =
            fireFirst([widget](const Alarm& candidate) { return candidate.widget == widget; });
        if (stillPending) ++fired;
    }
    return fired;
}

int alarmMillisecondsToNext() {
    if (gAlarms.empty()) return -1;
    uint32_t now = TIME_GetCurMillisecs();
    int best = -1;
    for (const Alarm& alarm : gAlarms) {
        int remaining = isDue(alarm, now) ? 0 : int(alarm.dueTime - now);
        if (best < 0 || remaining < best) best = remaining;
    }
    return best;
}
