#include "kelvane/IdentificationStatus.h"

#include "kelvane/WorkspaceWindow.h"
#include "toolkit/widgets/Event.h"

void IdentificationStatus::identifyProgress(long done, long total, uint32_t elapsedMs) {
    if (elapsedMs < kBusyAfterMs) return;
    if (!busy) {
        busy = true;
        EVENT_ShowBusy(true);
    }
    char text[96];
    formatIdentifyProgress(text, sizeof text, done, total);
    updateStatusText(text);
    EVENT_ProcessExposures();
}

void IdentificationStatus::identifyEnded() {
    if (!busy) return;
    busy = false;
    updateStatusText(nullptr);
    EVENT_ShowBusy(false);
}
