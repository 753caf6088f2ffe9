// The display bell and the top of the file-system tree; the other services
// are inline wrappers of core/Platform.h.
#include "toolkit/base/SystemServices.h"

#include "core/Utilities.h"
#include "toolkit/automation/Automation.h"
#include "toolkit/widgets/Backend.h"

void DSPLY_Beep() {
    noteBeep();
    currentBackend().beep();
}

bool FNAME_QueryTopDir(char* buffer, int size) {
    if (buffer == nullptr || size < 2) return false;
    copyText(buffer, size_t(size), "/");
    return true;
}
