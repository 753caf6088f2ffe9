// ProjectFile: the store of a project's records, a PrefMan of file type
// 'PRJ ' and data version 1 whose records are laid out in ProjectRecords.h.
// The project (ProjectManager) owns one and points it at the current
// project's path; the path manager keeps the project's paths in it too.
#pragma once

#include "projects/ProjectRecords.h"
#include "storage/PrefMan.h"

class ProjectFile : public PrefMan {
  public:
    // Not opened until the project is loaded; "project" names it in alerts.
    ProjectFile() : PrefMan(kProjectFileType, kProjectVersion, "", "project", false) {}

    // Success for version 1, kErrorVersionRejected otherwise.
    Status reconcileVersion(short fileVersion) override {
        return fileVersion == kProjectVersion ? kSuccess : Status(kErrorVersionRejected);
    }
};
