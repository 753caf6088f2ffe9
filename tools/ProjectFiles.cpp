// The registry's call point into the current project.
#include "tools/ProjectFiles.h"

#include "projects/ProjectManager.h"

void identifyProjectFiles() {
    if (gProjectManager != nullptr) gProjectManager->identifyAllFiles();
}
