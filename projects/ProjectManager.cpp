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
    projectFile.closePreferencesFile();
    if (view != nullptr) view->viewsClearing();
    componentViews.removeAll();
    masterComponentList.reset();
}

int32_t ProjectManager::takeFileError() {
    return lastError = int32_t(projectFile.getLastError());
}

// ---------------------------------------------------------------- project path

void ProjectManager::getProjectPath(char* buffer) {
    lastError = 0;
    if (projectPath[0] == '\0' && preferences != nullptr) {
        char stored[kPathSize] = "";
        long length = preferences->readNthPreference(kCurrentProjectRecord, 1, stored,
                                                     sizeof stored);
        copyText(projectPath, sizeof projectPath, stored,
                 preferences->getLastError() == 0 ? size_t(length) : 0);
    }
    if (projectPath[0] == '\0') untitledProjectPath(projectPath);
    copyText(buffer, kPathSize, projectPath);
}

void ProjectManager::untitledProjectPath(char* buffer) {
    char directory[kPathSize];
    if (getcwd(directory, sizeof directory) == nullptr || std::strlen(directory) + 1 +
                                                              std::strlen(kUntitledProject) >= kPathSize) {
        copyText(buffer, kPathSize, kUntitledProject);
        return;
    }
    formatPath(buffer, kPathSize, "%s%s%s", directory, directory[std::strlen(directory) - 1] == '/' ? "" : "/",
               kUntitledProject);
}

void ProjectManager::setProjectPath(const char* path) {
    lastError = 0;
    if (projectFile.isOpen()) projectFile.closePreferencesFile();
    if (path != nullptr) copyText(projectPath, sizeof projectPath, path);
    else untitledProjectPath(projectPath);
    if (preferences == nullptr) return;
    preferences->deletePreferencesOfType(kCurrentProjectRecord);
    preferences->addPreference(kCurrentProjectRecord, projectPath,
                               long(std::strlen(projectPath)) + 1);
}

void ProjectManager::setFilePickerDirectory(const char* directory) {
    copyText(filePickerDirectory, sizeof filePickerDirectory, directory ? directory : "");
}

bool ProjectManager::validProjectFile(const char* path) {
    short fileVersion = 0;
    if (projectFile.validDBFile(path, kProjectFileType, &fileVersion) != 0) return false;
    return projectFile.reconcileVersion(fileVersion) == 0;
}

// ---------------------------------------------------------------- loading and saving

void ProjectManager::loadProject(const char* path, bool create) {
    // Refused before anything changes: the open project stays as it was.
    if (path != nullptr && std::strlen(path) >= kPathSize) {
        lastError = kErrorTextTooLong;
        return;
    }
    masterComponentList->removeAllComponents();
    if (view != nullptr) view->viewsClearing();
    componentViews.removeAll();
    updateProjectListView();

    char current[kPathSize];
    getProjectPath(current);
    // The untitled project is remembered by its full path like any other:
    // the next start reopens it, from whatever folder it is made.
    if (path == nullptr) path = current;
    setProjectPath(path);
    getProjectPath(current);
    char baseName[kPathSize];
    extractFilename(current, baseName, sizeof baseName);

    if (create) {
        long result = projectFile.createDBFile(current, kProjectFileType, kProjectVersion);
        if (result != 0) {
            lastError = int32_t(result);
            return;
        }
    }
    projectFile.setPath(current);
    projectFile.openPreferencesFile();
    if (takeFileError() == 0 && projectFile.isOpen()) {
        extractPathname(current, filePickerDirectory, sizeof filePickerDirectory);
        readProjectComponents();
        readComponentViews();
        identifyAllFiles();
        gGlobalPathManager->loadProjectPaths();
        std::snprintf(projectTitle, sizeof projectTitle, "OKA Project: %s", baseName);
    } else {
        std::snprintf(projectTitle, sizeof projectTitle,
                      "OKA Project: file missing or invalid");
    }
    if (projectChangeHook != nullptr) projectChangeHook(current);
}

void ProjectManager::saveProject() {
    if (!projectFile.isOpen()) return;
    writeProjectComponents();
    if (lastError == 0) writeComponentViews();
}

// Files enter unidentified; identifyAllFiles files them under their types.
void ProjectManager::readProjectComponents() {
    ListViewHold hold(*this);
    std::vector<MasterComponentList::NewComponent> components;
    projectFile.visitPreferencesOfType(kFileRecord, [&](const char* record, long length) {
        char path[kPathSize];
        decodeFileRecord(reinterpret_cast<const uint8_t*>(record), length, path);
        components.push_back({new OKAFile(path), "", ""});
    });
    if (takeFileError() != 0)
        OKA_LOG("project file %s: file records after the damage skipped (%d)",
                projectFile.getPath(), int(lastError));
    projectFile.visitPreferencesOfType(kEngineRecord, [&](const char* record, long length) {
        EngineRecord engine;
        if (decodeEngineRecord(reinterpret_cast<const uint8_t*>(record), length, engine))
            components.push_back({new EngineInfo(engine.machine, engine.port), "", ""});
    });
    masterComponentList->addComponents(components);
    lastError = 0;
}

void ProjectManager::writeRecords(TypeCode type, const std::vector<PreferenceRecord>& records) {
    if (lastError != 0) return;
    projectFile.replacePreferencesOfType(type, records.data(), long(records.size()));
    takeFileError();
}

// One batched rewrite per record type, in master-list order.
void ProjectManager::writeProjectComponents() {
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
    lastError = 0;
    writeRecords(kFileRecord, recordsOf(files, kFileRecordSize));
    writeRecords(kEngineRecord, recordsOf(engines, kEngineRecordSize));
}

void ProjectManager::writeComponentViews() {
    uint8_t width[kListWidthRecordSize];
    encodeListWidthRecord(getProjectListWidth(), width);
    projectFile.writeNthPreference(kListWidthRecord, 1, reinterpret_cast<const char*>(width),
                                   sizeof width);
    takeFileError();
    std::vector<uint8_t> bytes(size_t(componentViews.getCount() * kViewRecordSize));
    std::vector<PreferenceRecord> records;
    for (long n = 0; n < componentViews.getCount(); ++n) {
        auto* view = static_cast<ComponentView*>(componentViews.get(n));
        ViewRecord record;
        record.filterMode = view->getFilterMode();
        copyText(record.pattern, sizeof record.pattern, view->getFilter().getDisplayPattern());
        record.listWidth = view->getListWidth();
        record.filterType = view->getFilterTypeIdent();
        copyText(record.filterTypeName, sizeof record.filterTypeName,
                 view->getFilterTypeName());
        uint8_t* out = bytes.data() + n * kViewRecordSize;
        encodeViewRecord(record, out);
        records.push_back({reinterpret_cast<const char*>(out), kViewRecordSize});
    }
    writeRecords(kViewRecord, records);
}

void ProjectManager::readComponentViews() {
    uint8_t width[kListWidthRecordSize];
    long length = projectFile.readNthPreference(kListWidthRecord, 1,
                                                reinterpret_cast<char*>(width), sizeof width);
    takeFileError();
    int16_t listWidth = 0;
    if (lastError != 0 || !decodeListWidthRecord(width, length, listWidth)) {
        // No width record: the project predates views, or never had any.
        lastError = 0;
        return;
    }
    setProjectListWidth(listWidth);
    std::vector<std::string> records;
    projectFile.readPreferencesOfType(kViewRecord, records);
    for (const std::string& bytes : records) {
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
    lastError = 0;
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

void ProjectManager::identifyFile(OKAFile* file, char* description) {
    IdentificationScope scope(*this);
    copyText(description, kPathSize, identifier.identify({file}).front());
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
            if (!moved.empty()) lists.addComponents(moved);
            if (list->getCount() == 0) delete lists.remove(list);
        }
        lists.sort(false);
    }
    if (componentStillListed(selected)) selectComponent(selected);
}

// ---------------------------------------------------------------- components

void ProjectManager::addFileToProject(const char* path) {
    if (path == nullptr || std::strlen(path) >= kPathSize) {
        lastError = kErrorTextTooLong;
        return;
    }
    lastError = 0;
    auto* file = new OKAFile(path);
    char description[kPathSize];
    identifyFile(file, description);
    TypeCode type = file->getItemType();
    masterComponentList->addComponent(file, file->getFileTypeStr(), description);
    if (masterComponentList->getLastError() != 0) {
        lastError = masterComponentList->getLastError();
        return;
    }
    masterComponentList->sort(false);
    selectComponent(file);
    saveProject();
    auto* added = new Message(kFileAddedMsg.code, nullptr);
    added->addTextParam(path);
    added->addTypeParam(type);
    gToolRegistry->broadcastMessage(added);
}

void ProjectManager::addFileToProject(const char* prompt, bool usePicker, const char* path,
                                      bool pickerFlag, const char* acceptText) {
    char chosen[kPathSize];
    if (usePicker) {
        if (!chooseFile(pickerFlag ? kPickerBoth : kPickerDisk, chosen, sizeof chosen, prompt, acceptText, nullptr,
                        true, true)) {
            return;
        }
        path = chosen;
    }
    addFileToProject(path);
}

void ProjectManager::removeFileFromProject(TypeCode type, const char* path) {
    Item* item = nullptr;
    if (getComponentByIdent(&item, type, path, 0)) removeComponent(item);
}

void ProjectManager::addEngineToProject(EngineInfo* engine) {
    if (engine == nullptr) return;
    if (engine->getMachine() == nullptr ||
        std::strlen(engine->getMachine()) >= size_t(kMachineFieldSize)) {
        lastError = kErrorTextTooLong;
        delete engine;
        return;
    }
    masterComponentList->addComponent(engine, nullptr, nullptr);
    lastError = masterComponentList->getLastError();
    if (lastError == 0) saveProject();
}

void ProjectManager::removeEngineFromProject(const char* machine, int32_t port) {
    Item* item = nullptr;
    if (getComponentByIdent(&item, kEngineType, machine, port)) removeComponent(item);
}

void ProjectManager::removeComponent(Item* item) {
    // The list hands back its own member, which is the one to destroy.
    Item* removed = masterComponentList->removeComponent(item);
    if (removed == nullptr) return;
    delete removed;
    saveProject();
}

void ProjectManager::removeSelectedComponent() {
    Item* selected = nullptr;
    if (getSelectedComponent(&selected)) removeComponent(selected);
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

void ProjectManager::unselectEverything() { selectComponent(nullptr); }
