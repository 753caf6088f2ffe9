// ProjectManager: the one current project of the environment, kept for every
// tool. It holds the project's components (files and engine descriptors)
// grouped by type in the master component list, the user's component views,
// and the start directory of the file picker, and owns the project file
// (ProjectFile, the records of ProjectRecords.h). Every change of the
// project's contents is saved at once. The current project's path is record
// 1 of 'CPRJ' in the Tool Manager's preferences; without one the project is
// "untitled.prj" in the current directory, whose full path is then stored
// like any other.
//
// File types come from the running tools through the FileIdentifier: the
// first loaded tool in registry order that recognises a file decides;
// otherwise it is 'MISS' (not on disk), 'TEXT' (a text file) or '????'. All
// files are identified again after a load and whenever a tool registers, is
// unloaded or unregisters.
//
// Paths longer than 255 characters and machine names longer than 31 are
// refused with kErrorTextTooLong: they do not fit the records. Each change
// returns its outcome and leaves it in the last error, which the project
// messages reply with and alerts show.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/Utilities.h"
#include "projects/ComponentView.h"
#include "projects/FileIdentifier.h"
#include "projects/MasterComponentList.h"
#include "projects/ProjectFile.h"
#include "projects/ProjectView.h"
#include "storage/List.h"
#include "storage/PrefMan.h"
#include "tools/ToolRegistryListener.h"

class EngineInfo;
class OKAFile;
class TAreaObj;

inline constexpr const char* kUntitledProject = "untitled.prj";

// Told the path of each project made current, for those that follow the project.
using ProjectChangeHook = void (*)(const char* path);

class ProjectManager : public HasErrorReporting, public ToolRegistryListener {
  public:
    // `preferences` is the Tool Manager's own preferences file (for 'CPRJ').
    explicit ProjectManager(PrefMan* preferences);
    ProjectManager(const ProjectManager&) = delete;
    ProjectManager& operator=(const ProjectManager&) = delete;
    ~ProjectManager() override;

    // The tools that can recognise the project's files changed: identify
    // every file again. A registering tool has its reply first: on a big
    // project the identification outlasts the time it waits for it.
    void toolAdded(const RegisteredTool& tool) override { toolRegistered(tool); }
    void toolReregistered(const RegisteredTool& tool) override { toolRegistered(tool); }
    void toolUnloaded(const RegisteredTool&) override { identifyAllFiles(); }
    void toolRemoved(const RegisteredTool& tool) override;

    // The current project's record store.
    ProjectFile& getProjectFile() { return projectFile; }

    // Makes `path` (null: the stored current project) current and loads it;
    // `create` first makes a new empty project file there.
    Status loadProject(const char* path, bool create);
    // `hook` (null: none) is told after every loadProject that made a
    // project current, whether or not its file opened.
    void setProjectChangeHook(ProjectChangeHook hook) { projectChangeHook = hook; }
    // Writes components and views, when the project file is open.
    Status saveProject();
    // The current project's path: the stored one, else the untitled
    // project's; valid until the project changes.
    const char* getProjectPath();
    // Makes `path` (null: the untitled project) current and stores it as
    // the current project in the preferences; the outcome is the store's.
    Status setProjectPath(const char* path);
    const char* getFilePickerDirectory() const { return filePickerDirectory; }
    void setFilePickerDirectory(const char* directory);

    // Sets the file's type and type name; returns the type's description.
    std::string identifyFile(OKAFile* file);
    void identifyAllFiles();

    // Adds the file at `path`, saves and tells every tool with 'FADD'.
    Status addFileToProject(const char* path);
    // The same with the file chosen in the file picker when `usePicker`
    // (titled `prompt`; `pickerFlag` offers the project's files besides the
    // disk); nothing changes when the user cancels. Without the picker it
    // adds `path`.
    Status addFileToProject(const char* prompt, bool usePicker, const char* path, bool pickerFlag,
                            const char* acceptText);
    // Nothing to remove is no failure.
    Status removeFileFromProject(TypeCode type, const char* path);
    // Takes the engine (destroyed when refused).
    Status addEngineToProject(EngineInfo* engine);
    Status removeEngineFromProject(const char* machine, int32_t port);
    // Takes the component out, destroys it and saves.
    Status removeComponent(Item* item);
    // Removes the component selected in the workspace's lists, if any.
    Status removeSelectedComponent();
    bool getSelectedComponent(Item** item);
    // The last component of `type` named `name` (and on `port` for engines).
    bool getComponentByIdent(Item** item, TypeCode type, const char* name, int32_t port);

    // Reading keeps what it can: damaged records are logged and skipped.
    void readProjectComponents();
    Status writeProjectComponents();
    void readComponentViews();
    Status writeComponentViews();
    bool validProjectFile(const char* path);

    // Component views, left to right. Their columns stand in the workspace's
    // component area, made by the project's view (ProjectView); a label
    // names its view only while that view shows it.
    ComponentView* addComponentView();
    // Destroys the view whose label is `label`; the views right of it move
    // left into its place.
    void removeComponentView(const TAreaObj* label);
    ComponentView* getComponentViewByLabel(const TAreaObj* label);
    // Opens the filter dialog of the view whose label is `label`.
    void setComponentViewFilter(const TAreaObj* label);
    // Null when `n` is out of range.
    ComponentView* getNthComponentView(long n);
    long getNumberOfComponentViews() const { return componentViews.getCount(); }
    void setUpAllComponentViews();
    void setUpComponentView(ComponentView* view);
    void updateProjectListView();
    void unselectEverything();
    // Selects the row of `item` in the project list (null: clears every
    // selection); nothing changes when no row shows it.
    void selectComponent(const Item* item);

    // The window side shows the project while it is installed (null: none).
    void setProjectView(ProjectView* newView);
    // The project list's width (what the project file keeps).
    int16_t getProjectListWidth() const;
    void setProjectListWidth(int16_t width);
    // The title the workspace window shows for the project.
    const char* getProjectTitle() const { return projectTitle; }

    MasterComponentList& getMasterComponentList() { return *masterComponentList; }
    // Milliseconds spent so far waiting for tools to identify files.
    double getIdentifyWaitMs() const { return identifier.getWaitMs(); }
    FileIdentifier& getFileIdentifier() { return identifier; }

  private:
    void toolRegistered(const RegisteredTool& tool);
    Status openProject(const char* path, bool create);
    Status addFile(const char* path);
    Status addEngine(EngineInfo* engine);
    Status writeAll();
    // "untitled.prj" in the current directory, as a full path when it fits.
    static std::string untitledProjectPath();
    bool componentStillListed(const Item* item) const;
    Status writeRecords(TypeCode type, const std::vector<PreferenceRecord>& records);

    // Holds off project list rebuilds during a bulk change, which then
    // rebuilds once at its end.
    class ListViewHold;
    // Defers a re-identification asked for during an identification.
    class IdentificationScope;

    ProjectFile projectFile;                   // the current project's records
    PrefMan* preferences;                      // the Tool Manager's preferences ('CPRJ')
    char projectPath[kPathSize] = "";          // current project path, empty until known
    char filePickerDirectory[kPathSize] = "";  // the file picker's start directory
    List componentViews;                       // owned ComponentViews, left to right
    std::unique_ptr<MasterComponentList> masterComponentList;
    ProjectView* view = nullptr;            // the window's lists, or null
    int listViewHolds = 0;                  // bulk changes under way (ListViewHold)
    int16_t projectListWidth = 0;           // its width while there is no view;
                                            // 0: none given, the resource's stays
    char projectTitle[2 * kPathSize] = "";  // "OKA Project: <name>"
    FileIdentifier identifier;              // asks the tools what the files are
    int identificationDepth = 0;            // identifications under way (IdentificationScope)
    bool reidentifyPending = false;         // identify all files once they have ended
    ProjectChangeHook projectChangeHook = nullptr;  // told of each project made current
};

extern ProjectManager* gProjectManager;
