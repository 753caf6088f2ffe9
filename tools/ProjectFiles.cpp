// Until the project manager exists there is no current project, so there are
// no files to identify. The project manager's identifyAllFiles is called from
// here once it is part of the Tool Manager.
#include "tools/ProjectFiles.h"

void identifyProjectFiles() {}
