// ProjectManager: the project file, the project path, adding and removing
// components, and identification of files through the running tools.
#include "projects/ProjectManager.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/Log.h"
#include "messaging/MessageCenter.h"
#include "projects/EngineInfo.h"
#include "projects/GlobalPathManager.h"
#include "projects/OKAFile.h"
#include "projects/ProjectRecords.h"
#include "projects/TextParams.h"
#include "tools/RegisteredTool.h"
#include "tools/ToolRegistry.h"
#include "workspace/FilePicker.h"

ProjectManager* gProjectManager = nullptr;

namespace {
constexpr const char* kLogSource = "../projmgr";
}  // namespace

// Each change of the master list refills the whole project list and every
// view; loading or re-identifying thousands of files would refill them
// thousands of times, so bulk changes refill them once when they end.
class ProjectManager::ListViewHold {
  public:
    explicit ListViewHold(ProjectManager& manager) : manager(manager) { ++manager.listViewHolds; }
    ListViewHold(const ListViewHold&) = delete;
    ListViewHold& operator=(const ListViewHold&) = delete;
    ~ListViewHold() {
        if (--manager.listViewHolds == 0) manager.updateProjectListView();
    }

  private:
    ProjectManager& manager;
};

ProjectManager::ProjectManager(PrefMan* toolManagerPreferences)
    : preferences(toolManagerPreferences),
      componentViews(kDefaultChunkSize, true, true),
      masterComponentList(
          std::make_unique<MasterComponentList>([this] { updateProjectListView(); })) {
    if (getcwd(filePickerDirectory, sizeof filePickerDirectory) == nullptr)
        filePickerDirectory[0] = '\0';
}

ProjectManager::~ProjectManager() {
    (void)projectFile.closePreferencesFile();  // nobody is left to tell
    if (view != nullptr) view->viewsClearing();
    componentViews.removeAll();
    masterComponentList.reset();
}

// ---------------------------------------------------------------- project path

const char* ProjectManager::getProjectPath() {
    if (projectPath[0] == '\0' && preferences != nullptr) {
        char stored[kPathSize] = "";
        Result<long> length =
            preferences->readNthPreference(kCurrentProjectRecord, 1, stored, sizeof stored);
        copyText(projectPath, sizeof projectPath, stored, size_t(length.valueOr(0)));
    }
    if (projectPath[0] == '\0')
        copyText(projectPath, sizeof projectPath, untitledProjectPath().c_str());
    return projectPath;
}

std::string ProjectManager::untitledProjectPath() {
    char directory[kPathSize];
    if (getcwd(directory, sizeof directory) == nullptr) return kUntitledProject;
    std::string path = directory;
    if (path.back() != '/') path += '/';
    path += kUntitledProject;
    return path.size() < kPathSize ? path : kUntitledProject;
}

Status ProjectManager::setProjectPath(const char* path) {
    if (projectFile.isOpen()) (void)projectFile.closePreferencesFile();  // switching projects
    if (path != nullptr)
        copyText(projectPath, sizeof projectPath, path);
    else
        copyText(projectPath, sizeof projectPath, untitledProjectPath().c_str());
    if (preferences == nullptr) return kSuccess;
    PreferenceRecord record{projectPath, long(std::strlen(projectPath)) + 1};
    return preferences->replacePreferencesOfType(kCurrentProjectRecord, &record, 1);
}

void ProjectManager::setFilePickerDirectory(const char* directory) {
    copyText(filePickerDirectory, sizeof filePickerDirectory, directory ? directory : "");
}

bool ProjectManager::validProjectFile(const char* path) {
    Result<short> fileVersion = projectFile.validDBFile(path, kProjectFileType);
    return fileVersion.ok() && projectFile.reconcileVersion(fileVersion.value()).ok();
}

// ---------------------------------------------------------------- loading and saving

Status ProjectManager::loadProject(const char* path, bool create) {
    return remember(openProject(path, create));
}

Status ProjectManager::openProject(const char* path, bool create) {
    // Refused before anything changes: the open project stays as it was.
    if (path != nullptr && std::strlen(path) >= kPathSize) return Status(kErrorTextTooLong);
    masterComponentList->removeAllComponents();
    if (view != nullptr) view->viewsClearing();
    componentViews.removeAll();
    updateProjectListView();

    char current[kPathSize];
    copyText(current, sizeof current, getProjectPath());
    // The untitled project is remembered by its full path like any other:
    // the next start reopens it, from whatever folder it is made.
    if (path == nullptr) path = current;
    if (Status stored = setProjectPath(path); !stored.ok())
        OKA_LOG("current project %s not stored in the preferences (%d)", path, int(stored.code()));
    copyText(current, sizeof current, getProjectPath());
    char baseName[kPathSize];
    extractFilename(current, baseName, sizeof baseName);

    projectFile.setPath(current);
    Status opened =
        create ? projectFile.createDBFile(current, kProjectFileType, kProjectVersion) : kSuccess;
    if (opened.ok()) opened = projectFile.openPreferencesFile();
    if (opened.ok() && projectFile.isOpen()) {
        extractPathname(current, filePickerDirectory, sizeof filePickerDirectory);
        readProjectComponents();
        readComponentViews();
        identifyAllFiles();
        if (Status paths = gGlobalPathManager->loadProjectPaths(); !paths.ok())
            OKA_LOG("project file %s: paths not read (%d)", current, int(paths.code()));
        std::snprintf(projectTitle, sizeof projectTitle, "OKA Project: %s", baseName);
    } else {
        std::snprintf(projectTitle, sizeof projectTitle, "OKA Project: file missing or invalid");
    }
    if (projectChangeHook != nullptr) projectChangeHook(current);
    return opened;
}

Status ProjectManager::saveProject() {
    return remember(writeAll());
}

Status ProjectManager::writeAll() {
    if (!projectFile.isOpen()) return kSuccess;
    Status status = writeProjectComponents();
    return status.ok() ? writeComponentViews() : status;
}

// Files enter unidentified; identifyAllFiles files them under their types.
void ProjectManager::readProjectComponents() {
    ListViewHold hold(*this);
    std::vector<MasterComponentList::NewComponent> components;
    Status files =
        projectFile.visitPreferencesOfType(kFileRecord, [&](const char* record, long length) {
            char path[kPathSize];
            decodeFileRecord(reinterpret_cast<const uint8_t*>(record), length, path, sizeof path);
            components.push_back({new OKAFile(path), "", ""});
        });
    if (!files.ok())
        OKA_LOG("project file %s: file records after the damage skipped (%d)",
                projectFile.getPath(), int(files.code()));
    Status engines =
        projectFile.visitPreferencesOfType(kEngineRecord, [&](const char* record, long length) {
            EngineRecord engine;
            if (decodeEngineRecord(reinterpret_cast<const uint8_t*>(record), length, engine))
                components.push_back({new EngineInfo(engine.machine, engine.port), "", ""});
        });
    if (!engines.ok())
        OKA_LOG("project file %s: engine records after the damage skipped (%d)",
                projectFile.getPath(), int(engines.code()));
    if (Status filed = masterComponentList->addComponents(components); !filed.ok())
        OKA_LOG("project file %s: components left out (%d)", projectFile.getPath(),
                int(filed.code()));
}

Status ProjectManager::writeRecords(TypeCode type, const std::vector<PreferenceRecord>& records) {
    return projectFile.replacePreferencesOfType(type, records.data(), long(records.size()));
}

// One batched rewrite per record type, in master-list order.
Status ProjectManager::writeProjectComponents() {
    std::vector<uint8_t> files;
    std::vector<uint8_t> engines;
    for (long i = 0; i < masterComponentList->getCount(); ++i) {
        ComponentList* list = masterComponentList->getNthList(i);
        for (long j = 0; j < list->getCount(); ++j) {
            Item* component = list->get(j);
            if (auto* engine = dynamic_cast<EngineInfo*>(component)) {
                engines.resize(engines.size() + kEngineRecordSize);
                encodeEngineRecord(engine->getMachine(), engine->getPort(),
                                   engines.data() + engines.size() - kEngineRecordSize);
            } else if (auto* file = dynamic_cast<OKAFile*>(component)) {
                files.resize(files.size() + kFileRecordSize);
                encodeFileRecord(file->getPathname(),
                                 files.data() + files.size() - kFileRecordSize);
            }
        }
    }
    auto recordsOf = [](const std::vector<uint8_t>& bytes, long size) {
        std::vector<PreferenceRecord> records;
        for (size_t offset = 0; offset < bytes.size(); offset += size_t(size))
            records.push_back({reinterpret_cast<const char*>(bytes.data() + offset), size});
        return records;
    };
    Status status = writeRecords(kFileRecord, recordsOf(files, kFileRecordSize));
    return status.ok() ? writeRecords(kEngineRecord, recordsOf(engines, kEngineRecordSize))
                       : status;
}

Status ProjectManager::writeComponentViews() {
    uint8_t width[kListWidthRecordSize];
    encodeListWidthRecord(getProjectListWidth(), width);
    Status status = projectFile.writeNthPreference(
        kListWidthRecord, 1, reinterpret_cast<const char*>(width), sizeof width);
    if (!status.ok()) return status;
    std::vector<uint8_t> bytes(size_t(componentViews.getCount() * kViewRecordSize));
    std::vector<PreferenceRecord> records;
    for (long n = 0; n < componentViews.getCount(); ++n) {
        auto* view = static_cast<ComponentView*>(componentViews.get(n));
        ViewRecord record;
        record.filterMode = view->getFilterMode();
        copyText(record.pattern, sizeof record.pattern, view->getFilter().getDisplayPattern());
        record.listWidth = view->getListWidth();
        record.filterType = view->getFilterTypeIdent();
        copyText(record.filterTypeName, sizeof record.filterTypeName, view->getFilterTypeName());
        uint8_t* out = bytes.data() + n * kViewRecordSize;
        encodeViewRecord(record, out);
        records.push_back({reinterpret_cast<const char*>(out), kViewRecordSize});
    }
    return writeRecords(kViewRecord, records);
}

void ProjectManager::readComponentViews() {
    uint8_t width[kListWidthRecordSize];
    Result<long> length = projectFile.readNthPreference(
        kListWidthRecord, 1, reinterpret_cast<char*>(width), sizeof width);
    int16_t listWidth = 0;
    // No width record: the project predates views, or never had any.
    if (!length.ok() || !decodeListWidthRecord(width, length.value(), listWidth)) return;
    setProjectListWidth(listWidth);
    for (const std::string& bytes : projectFile.readPreferencesOfType(kViewRecord).valueOr({})) {
        ViewRecord record;
        if (!decodeViewRecord(reinterpret_cast<const uint8_t*>(bytes.data()), long(bytes.size()),
                              record))
            continue;
        ComponentView* view = addComponentView();
        view->setFilterMode(record.filterMode);
        view->setFilter(record.pattern);
        view->setListWidth(record.listWidth);
        view->setFilterComponentType(record.filterType, record.filterTypeName);
    }
    setUpAllComponentViews();
}

// ---------------------------------------------------------------- identification

// A tool found dead while files are being identified changes the set of
// tools to ask. Identifying again inside the identification would walk
// lists that are being rebuilt, so it runs once the outermost one has ended.
class ProjectManager::IdentificationScope {
  public:
    explicit IdentificationScope(ProjectManager& manager) : manager(manager) {
        ++manager.identificationDepth;
    }
    ~IdentificationScope() {
        if (--manager.identificationDepth > 0 || !manager.reidentifyPending) return;
        manager.reidentifyPending = false;
        manager.identifyAllFiles();
    }

  private:
    ProjectManager& manager;
};

void ProjectManager::toolRegistered(const RegisteredTool& tool) {
    identifier.forgetTool(tool.toolInfo.toolType);
    gMessageCenter->runAfterReply([] {
        if (gProjectManager != nullptr) gProjectManager->identifyAllFiles();
    });
}

void ProjectManager::toolRemoved(const RegisteredTool& tool) {
    identifier.forgetTool(tool.toolInfo.toolType);
    identifyAllFiles();
}

std::string ProjectManager::identifyFile(OKAFile* file) {
    IdentificationScope scope(*this);
    return identifier.identify({file}).front();
}

// The remembered selection may have been replaced by an equal file while
// the lists were rebuilt; only a component still listed is selected again.
bool ProjectManager::componentStillListed(const Item* item) const {
    for (long i = 0; item != nullptr && i < masterComponentList->getCount(); ++i) {
        std::vector<Item*> members = masterComponentList->getNthList(i)->items();
        if (std::find(members.begin(), members.end(), item) != members.end()) return true;
    }
    return false;
}

void ProjectManager::identifyAllFiles() {
    if (identificationDepth > 0) {
        reidentifyPending = true;
        return;
    }
    IdentificationScope scope(*this);
    Item* selected = nullptr;
    getSelectedComponent(&selected);
    MasterComponentList& lists = *masterComponentList;
    {
        ListViewHold hold(*this);
        // Each list is walked from its last member to its first; the files
        // whose type changed leave it and are filed under their new type,
        // in the order met, once the list has been walked. All files are
        // identified first, in one exchange with the tools.
        std::vector<OKAFile*> files;
        for (long i = lists.getCount() - 1; i >= 0; --i) {
            std::vector<Item*> members = lists.getNthList(i)->items();
            for (auto member = members.rbegin(); member != members.rend(); ++member) {
                if (auto* file = dynamic_cast<OKAFile*>(*member)) files.push_back(file);
            }
        }
        std::vector<const char*> descriptions = identifier.identify(files);
        size_t next = 0;  // the next file's place in `files` and `descriptions`
        for (long i = lists.getCount() - 1; i >= 0; --i) {
            ComponentList* list = lists.getNthList(i);
            std::vector<Item*> members = list->items();
            std::vector<Item*> kept;
            std::vector<MasterComponentList::NewComponent> moved;
            for (auto member = members.rbegin(); member != members.rend(); ++member) {
                auto* file = dynamic_cast<OKAFile*>(*member);  // engines are not identified
                const char* description = file != nullptr ? descriptions[next++] : "";
                if (file == nullptr || file->getItemType() == list->getTypeIdent()) {
                    kept.push_back(*member);
                    continue;
                }
                const char* typeName = file->getFileTypeStr();
                moved.push_back({file, typeName != nullptr ? typeName : "", description});
            }
            std::reverse(kept.begin(), kept.end());
            list->assign(kept);
            Status filed = moved.empty() ? kSuccess : lists.addComponents(moved);
            if (!filed.ok()) OKA_LOG("identified files left out (%d)", int(filed.code()));
            if (list->getCount() == 0) delete lists.remove(list);
        }
        lists.sort(false);
    }
    if (componentStillListed(selected)) selectComponent(selected);
}

// ---------------------------------------------------------------- components

Status ProjectManager::addFileToProject(const char* path) {
    return remember(addFile(path));
}

Status ProjectManager::addFile(const char* path) {
    if (path == nullptr || std::strlen(path) >= kPathSize) return Status(kErrorTextTooLong);
    auto* file = new OKAFile(path);
    std::string description = identifyFile(file);
    TypeCode type = file->getItemType();
    Status filed =
        masterComponentList->addComponent(file, file->getFileTypeStr(), description.c_str());
    if (!filed.ok()) return filed;
    masterComponentList->sort(false);
    selectComponent(file);
    Status saved = writeAll();
    auto* added = new Message(kFileAddedMsg.code, nullptr);
    added->addTextParam(path);
    added->addTypeParam(type);
    gToolRegistry->broadcastMessage(added);
    return saved;
}

Status ProjectManager::addFileToProject(const char* prompt, bool usePicker, const char* path,
                                        bool pickerFlag, const char* acceptText) {
    char chosen[kPathSize];
    if (usePicker) {
        if (!chooseFile(pickerFlag ? kPickerBoth : kPickerDisk, chosen, sizeof chosen, prompt,
                        acceptText, nullptr, true, true)) {
            return remember(kSuccess);  // the user cancelled
        }
        path = chosen;
    }
    return addFileToProject(path);
}

Status ProjectManager::removeFileFromProject(TypeCode type, const char* path) {
    Item* item = nullptr;
    if (!getComponentByIdent(&item, type, path, 0)) return remember(kSuccess);
    return removeComponent(item);
}

Status ProjectManager::addEngineToProject(EngineInfo* engine) {
    return remember(addEngine(engine));
}

Status ProjectManager::addEngine(EngineInfo* engine) {
    if (engine == nullptr) return kSuccess;
    if (engine->getMachine() == nullptr ||
        std::strlen(engine->getMachine()) >= size_t(kMachineFieldSize)) {
        delete engine;
        return Status(kErrorTextTooLong);
    }
    Status filed = masterComponentList->addComponent(engine, nullptr, nullptr);
    return filed.ok() ? writeAll() : filed;
}

Status ProjectManager::removeEngineFromProject(const char* machine, int32_t port) {
    Item* item = nullptr;
    if (!getComponentByIdent(&item, kEngineType, machine, port)) return remember(kSuccess);
    return removeComponent(item);
}

Status ProjectManager::removeComponent(Item* item) {
    // The list hands back its own member, which is the one to destroy.
    Item* removed = masterComponentList->removeComponent(item);
    if (removed == nullptr) return remember(kSuccess);
    delete removed;
    return saveProject();
}

Status ProjectManager::removeSelectedComponent() {
    Item* selected = nullptr;
    if (!getSelectedComponent(&selected)) return remember(kSuccess);
    return removeComponent(selected);
}

bool ProjectManager::getComponentByIdent(Item** item, TypeCode type, const char* name,
                                         int32_t port) {
    *item = nullptr;
    ComponentList* list = masterComponentList->getComponentList(type);
    if (list == nullptr || name == nullptr) return false;
    for (long j = 0; j < list->getCount(); ++j) {
        Item* component = list->get(j);
        if (auto* engine = dynamic_cast<EngineInfo*>(component)) {
            if (type == kEngineType && engine->getMachine() != nullptr &&
                std::strcmp(engine->getMachine(), name) == 0 && engine->getPort() == port)
                *item = component;
        } else if (auto* file = dynamic_cast<OKAFile*>(component)) {
            if (file->getPathname() != nullptr && std::strcmp(file->getPathname(), name) == 0)
                *item = component;
        }
    }
    return *item != nullptr;
}

// ---------------------------------------------------------------- selection

bool ProjectManager::getSelectedComponent(Item** item) {
    *item = view != nullptr ? view->selectedComponent() : nullptr;
    return *item != nullptr;
}

void ProjectManager::selectComponent(const Item* item) {
    if (view != nullptr) view->selectComponent(item);
}

void ProjectManager::unselectEverything() {
    selectComponent(nullptr);
}
