#include "projects/ProjectFilePicker.h"

#include "core/Utilities.h"
#include "projects/ComponentTypePopUp.h"
#include "projects/OKAFile.h"
#include "projects/ProjectManager.h"
#include "toolkit/widgets/CBoxObj.h"
#include "toolkit/widgets/LBoxObj.h"
#include "workspace/ErrorText.h"
#include "workspace/FilePicker.h"

namespace {
// The project as the picker sees it.
class ProjectPickerSource : public ProjectFileSource {
  public:
    void buildTypePopUp(CBoxObj* typeBox) override { buildProjectPopUp(typeBox); }
    TypeCode chosenType(CBoxObj* typeBox) override {
        if (CBOX_GetMaxElts(typeBox) == 0) return 0;
        int chosen = CBOX_GetSelIndex(typeBox);
        CBOX_GoIndex(typeBox, chosen >= 0 ? chosen : 0);
        return TypeCode(CBOX_CurGetClientData(typeBox));
    }
    void typeChosen(TypeCode type) override { gDefaultComponentType = type; }
    void populateProjectList(LBoxObj* list, TypeCode type) override {
        ::populateProjectList(list, type);
    }
};
ProjectPickerSource projectPickerSource;
}  // namespace

void populateProjectList(LBoxObj* list, TypeCode type) {
    if (list == nullptr || gProjectManager == nullptr) return;
    ComponentList* files = gProjectManager->getMasterComponentList().getComponentList(type);
    if (files == nullptr) return;
    for (long i = 0; i < files->getCount(); ++i) {
        auto* file = dynamic_cast<OKAFile*>(files->get(i));
        if (file == nullptr) continue;
        LBOX_GoIndex(list, LBOX_GetNumRows(list));
        LBOX_CurSetClientData(list, ClientData(newStringCopy(file->getPathname())));
    }
}

void installProjectFileSource() {
    setProjectFileSource(&projectPickerSource);
}

void chooseProject(bool create) {
    char path[kPathSize];
    if (chooseFile(kPickerDisk, path, sizeof path,
                   create ? "Enter a new project filename:" : "Select a project to open:", nullptr,
                   "*.prj", !create, true)) {
        Status loaded = gProjectManager->loadProject(path, create);
        // A file that does not open has had its alert from the project file;
        // one that could not be made has not.
        if (create && !gProjectManager->getProjectFile().isOpen()) alertIfFailed(loaded);
    }
}

void addFileWithPicker() {
    alertIfFailed(gProjectManager->addFileToProject("Choose file to add to the project:", true,
                                                    nullptr, false, "Add"));
}

void chooseFileForCommand() {
    alertIfFailed(gProjectManager->addFileToProject("Choose file to execute this command on:", true,
                                                    nullptr, true, "Execute"));
}
