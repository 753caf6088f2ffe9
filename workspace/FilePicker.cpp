// The picker window "filePicker" of the shared library. One Picker object
// holds the state of the open window; PickerMemory what outlives it (the
// directory shown last, the disk/project choice, colour and icons).
#include "workspace/FilePicker.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <string>

#include "core/AlertHook.h"
#include "core/Log.h"
#include "core/Utilities.h"
#include "messaging/MessageCenter.h"
#include "messaging/MessageTypes.h"
#include "storage/WildCardList.h"
#include "toolkit/Toolkit.h"
#include "workspace/HelpManager.h"
#include "workspace/WindowLayer.h"
#include "workspace/WindowManager.h"

WinObj* gFilePickerWindow = nullptr;

namespace {
constexpr const char* kLogSource = "../filepicker";
constexpr const char* kHelpKey = "FilePicker";
constexpr TypeCode kFilePickerWindowType = typeCode("FPKW");
constexpr int kRowTextFlags = kDrawTextSingleLine | kDrawTextClip;
constexpr int kIconWidth = 17;
constexpr int kAccepted = 1;  // modal status of a chosen path

enum PickerChild {
    kDiskList = 0,
    kTypeBox = 1,
    kProjectList = 2,
    kOkButton = 3,
    kFindButton = 4,
    kCancelButton = 5,
    kNameField = 6,
    kFilterField = 7,
    kProjectLabel = 8,  // shown in place of the filter field in project mode
    kSourceGroup = 9,   // radio buttons: 0 disk, 1 project
    kFilterButton = 10,
    kAcceptDirectoryButton = 11,
    kPrompt = 13,  // the prompt, in the radio buttons' place when they are hidden
};
enum SourceButton { kDiskRadio = 0, kProjectRadio = 1 };

// What outlives one picker: kept for the whole run.
struct PickerMemory {
    std::string currentDirectory;  // shown by the disk list; no trailing '/' but at the root
    bool diskMode = true;          // the list last chosen with the radio buttons
    bool resourcesLoaded = false;  // colour and icons below are loaded
    ColorObj* listBackground = nullptr;
    IconObj* folderIcon = nullptr;
    IconObj* fileIcon = nullptr;
};
PickerMemory memory;
ProjectFileSource* projectSource = nullptr;

// "dir" + "/" + "name", the separator not doubled; empty when over 255 characters.
std::string joinPath(const std::string& directory, const char* name) {
    std::string path = directory;
    if (path.empty() || path.back() != '/') path += '/';
    path += name;
    return path.size() < kPathSize ? path : std::string();
}

// Removes trailing '/' characters, never the first one.
void stripTrailingSlashes(std::string& path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
}

const char* rowText(LBoxObj* list) {
    ListRow* row = list->current();
    return row != nullptr ? reinterpret_cast<const char*>(row->clientData) : nullptr;
}

void appendRow(LBoxObj* list, const char* text) {
    LBOX_GoIndex(list, LBOX_GetNumRows(list));
    LBOX_CurSetClientData(list, reinterpret_cast<ClientData>(newStringCopy(text)));
}

// State of a running Find.
struct FindSearch {
    FindSearch(const WildCardList* filter, bool directoryMode, WinObj* window)
        : filter(filter), directoryMode(directoryMode), window(window) {}

    const WildCardList* filter;      // names offered must match it
    bool directoryMode;              // offer directories instead of files
    WinObj* window;                  // shows the wait cursor
    bool stopped = false;            // Select or Cancel was chosen: pass over the rest
    int steps = 0;                   // entries visited, for the wait cursor
    std::string found;               // the path chosen with Select
    std::set<std::string> searched;  // canonical paths of the directories searched,
                                     // so that a symbolic link loop is entered once
};

// Searches `directory` once, whatever links lead to it again.
void searchDirectory(FindSearch& search, const std::string& directory) {
    char canonical[PATH_MAX];
    if (realpath(directory.c_str(), canonical) == nullptr) return;
    if (!search.searched.insert(canonical).second) return;
    FMGR_PerfDirFiles(directory.c_str(), 0, searchDirectoryFilterProc, &search);
}

class Picker {
  public:
    Picker(WinObj* window, char* result, size_t resultSize, bool directoryMode, bool mustExist,
           bool confirmReplace)
        : window(window),
          result(result),
          resultSize(resultSize),
          directoryMode(directoryMode),
          mustExist(mustExist),
          confirmReplace(confirmReplace) {}

    WgtObj* child(int index) const { return RES_GetNthChild(window, index); }
    LBoxObj* diskList() const { return static_cast<LBoxObj*>(child(kDiskList)); }
    LBoxObj* projectList() const { return static_cast<LBoxObj*>(child(kProjectList)); }
    CBoxObj* typeBox() const { return static_cast<CBoxObj*>(child(kTypeBox)); }
    TEdObj* nameField() const { return static_cast<TEdObj*>(child(kNameField)); }
    TEdObj* filterField() const { return static_cast<TEdObj*>(child(kFilterField)); }
    TButObj* button(int index) const { return static_cast<TButObj*>(child(index)); }
    TButObj* radio(int index) const {
        return static_cast<TButObj*>(RES_GetNthChild(child(kSourceGroup), index));
    }
    bool diskShown() const { return shownList == diskList(); }

    void setFilter(const char* text) {
        filter =
            std::make_unique<WildCardList>(text != nullptr && text[0] != '\0' ? text : "*", true);
        TED_SetStr(filterField(), filter->getText());
    }
    bool listsFile(const char* directory, const char* name) const;
    void showList(bool disk);
    void refresh(bool selectFirst);
    void fillProjectList();
    void fillNameFromSelection(LBoxObj* list);
    void okPressed();
    bool acceptFile();
    void acceptDirectory();
    bool updateFilter();
    void find();
    void chooseSource(bool disk);
    void chooseType();

    WinObj* window;
    char* result;              // the caller's buffer
    size_t resultSize;         // its size: longer paths are refused
    bool directoryMode;        // chooseDirectory
    bool mustExist;            // the chosen entry must exist
    bool confirmReplace;       // ask before accepting an existing file
    bool initialising = true;  // the window is being filled
    std::unique_ptr<WildCardList> filter;
    int rowCount = 0;              // rows put into the disk list by the last refresh
    LBoxObj* shownList = nullptr;  // the disk or the project list
    int failedAccepts = 1;         // refused directory accepts: beep, then message
};
Picker* openPicker = nullptr;

// True when a pattern of the filter ("*.qa;.*rc") starts with a dot: only
// then are hidden names, such as the settings folders of the home
// directory, worth a row.
bool asksForHiddenNames(const char* filterText) {
    for (const char* c = filterText; *c != '\0'; ++c)
        if (*c == '.' && (c == filterText || c[-1] == ';' || c[-1] == ' ')) return true;
    return false;
}

bool Picker::listsFile(const char* directory, const char* name) const {
    if (name[0] == '.' && !asksForHiddenNames(filter->getText())) return false;
    std::string path = joinPath(directory, name);
    if (path.empty()) return false;
    bool isDirectory = FMGR_GetNodeType(path.c_str()) == kNodeDirectory;
    if (directoryMode) return isDirectory && filter->wildCardListEqual(name);
    return isDirectory || filter->wildCardListEqual(name);
}

void Picker::showList(bool disk) {
    shownList = disk ? diskList() : projectList();
    WGT_SetVisibility(filterField(), disk);
    WGT_SetVisibility(button(kFilterButton), disk);
    WGT_SetVisibility(diskList(), disk);
    WGT_SetVisibility(child(kProjectLabel), !disk);
    WGT_SetVisibility(projectList(), !disk);
    WGT_SetVisibility(typeBox(), !disk);
    WGT_SetEnabled(button(kFindButton), disk);
    TBUT_SetSelected(radio(kDiskRadio), disk);
    TBUT_SetSelected(radio(kProjectRadio), !disk);
    if (disk) {
        refresh(true);
    } else {
        fillProjectList();
    }
}

void Picker::refresh(bool selectFirst) {
    LBoxObj* list = diskList();
    LBOX_Reset(list);
    std::string& directory = memory.currentDirectory;
    if (directory.empty() || FMGR_GetNodeType(directory.c_str()) != kNodeDirectory) {
        char current[kPathSize];
        directory = FNAME_QueryCurDir(current, sizeof current) ? current : "/";
    }
    stripTrailingSlashes(directory);
    appendRow(list, ".");
    if (directory != "/") appendRow(list, "..");
    FMGR_PerfDirFiles(directory.c_str(), 0, fileFilterProc, list);
    rowCount = LBOX_GetNumRows(list);
    LBOX_GoHome(list);
    if (selectFirst) {
        LBOX_CurSelect(list);
        fillNameFromSelection(list);
    }
}

// The name field is emptied too: the disk path it held is no project file.
void Picker::fillProjectList() {
    LBoxObj* list = projectList();
    LBOX_Reset(list);
    TED_SetStr(nameField(), "");
    if (projectSource != nullptr) {
        projectSource->populateProjectList(list, projectSource->chosenType(typeBox()));
    }
    LBOX_GoHome(list);
}

// The name field shows what the selected row stands for.
void Picker::fillNameFromSelection(LBoxObj* list) {
    int cursor = list->cursor;
    if (!LBOX_GoSelAllocFirst(list)) return;
    const char* name = rowText(list);
    std::string path;
    const std::string& directory = memory.currentDirectory;
    if (name == nullptr) {
        path.clear();
    } else if (list == projectList()) {
        path = name;
    } else if (std::strcmp(name, ".") == 0) {
        path = directory == "/" ? directory : directory + "/";
    } else if (std::strcmp(name, "..") == 0) {
        size_t separator = directory.find_last_of('/');
        path = separator == std::string::npos ? directory : directory.substr(0, separator + 1);
    } else {
        path = joinPath(directory, name);
        if (FMGR_GetNodeType(path.c_str()) == kNodeDirectory && path.size() + 1 < kPathSize)
            path += '/';
    }
    TED_SetStr(nameField(), path.c_str());
    LBOX_GoIndex(list, cursor);
}

void Picker::okPressed() {
    if (LBOX_IsOk(shownList) && acceptFile()) WIN_ModalReturn(window, kAccepted);
}

bool Picker::acceptFile() {
    std::string path = TED_GetStr(nameField());
    stripTrailingSlashes(path);
    // A bare name is taken in the directory that the disk list shows.
    if (!path.empty() && path[0] != '/') path = joinPath(memory.currentDirectory, path.c_str());
    if (path.empty() || path.size() >= kPathSize || path.size() >= resultSize) {
        okaBeep();
        return false;
    }
    int type = FMGR_GetNodeType(path.c_str());
    if (type == kNodeFile && confirmReplace && !mustExist) {
        char baseName[kPathSize];
        extractFilename(path.c_str(), baseName, sizeof baseName);
        std::string question = std::string("Are you sure you want to replace ") + baseName + "?";
        if (askUser(question.c_str(), kAlertQuestion, "Replace existing file?", "Replace", "Cancel",
                    nullptr, 0, kHelpKey) != 1) {
            return false;
        }
    }
    if (diskShown() && type != kNodeFile) {
        if (type != kNodeNone) {
            memory.currentDirectory = path;
            refresh(true);
            return false;
        }
        if (mustExist) {
            okaBeep();
            return false;
        }
    }
    copyText(result, resultSize, path.c_str());
    return true;
}

void Picker::acceptDirectory() {
    if (!LBOX_IsOk(diskList())) return;
    std::string path = TED_GetStr(nameField());
    stripTrailingSlashes(path);
    if (mustExist && FMGR_GetNodeType(path.c_str()) != kNodeDirectory) {
        // Refusals alternate between a beep and the message.
        if (failedAccepts < 2) {
            okaBeep();
            ++failedAccepts;
        } else {
            std::string message =
                path + " does not exist, please select and accept an existing directory.";
            askUser(message.c_str(), kAlertWarning, "Replace existing file?", "Ok", nullptr,
                    nullptr, 0, kHelpKey);
            failedAccepts = 1;
        }
        return;
    }
    if (path.size() >= kPathSize || path.size() >= resultSize) return;
    copyText(result, resultSize, path.c_str());
    WIN_ModalReturn(window, kAccepted);
}

bool Picker::updateFilter() {
    const char* text = TED_GetStr(filterField());
    if ((text[0] == '\0' && filter->getMatchesAnything()) ||
        std::strcmp(text, filter->getText()) == 0) {
        return false;
    }
    filter = std::make_unique<WildCardList>(text[0] != '\0' ? text : "*", true);
    return true;
}

void Picker::find() {
    updateFilter();
    FindSearch search(filter.get(), directoryMode, window);
    searchDirectory(search, memory.currentDirectory);
    WGT_UseCursor(window, CURS_LoadById(0));
    if (search.found.empty()) return;

    TED_SetStr(nameField(), search.found.c_str());
    char directory[kPathSize];
    char name[kPathSize];
    extractPathname(search.found.c_str(), directory, sizeof directory);
    extractFilename(search.found.c_str(), name, sizeof name);
    memory.currentDirectory = directory[0] != '\0' ? directory : "/";
    refresh(false);
    LBoxObj* list = diskList();
    LBOX_AllUnselect(list);
    for (LBOX_GoHome(list); LBOX_IsOk(list); LBOX_GoDown(list)) {
        const char* text = rowText(list);
        if (text != nullptr && std::strcmp(text, name) == 0) {
            LBOX_CurSelect(list);
            break;
        }
    }
}

void Picker::chooseSource(bool disk) {
    TBUT_SetSelected(radio(disk ? kProjectRadio : kDiskRadio), false);
    memory.diskMode = disk;
    WGT_GainFocus(disk ? static_cast<WgtObj*>(diskList()) : projectList());
    WGT_SetEnabled(button(kFindButton), disk);
    showList(disk);
}

void Picker::chooseType() {
    if (initialising || directoryMode || projectSource == nullptr) return;
    projectSource->typeChosen(projectSource->chosenType(typeBox()));
    fillProjectList();
}

// ---- Drawing.

ColorObj* rowBackground(LBoxObj* list, bool selected) {
    if (selected) return gHiliteColor != nullptr ? gHiliteColor : COLOR_LightGray();
    if (memory.listBackground != nullptr) return memory.listBackground;
    return list->bgColor != nullptr ? list->bgColor : COLOR_White();
}

// Disk rows: an icon and the name; project rows: the file's base name.
void drawRow(LBoxObj* list, bool disk) {
    const char* text = rowText(list);
    if (text == nullptr) return;
    Rect16 box = list->currentRowBox();
    box.height = int16_t(box.height - 1);
    DRAW_SetColors(list, COLOR_Black(), rowBackground(list, list->current()->selected));
    DRAW_SetPen(list, PEN_Invisible());
    DRAW_Rect(list, &box);
    if (disk) {
        std::string path = joinPath(memory.currentDirectory, text);
        bool isFile = !path.empty() && FMGR_GetNodeType(path.c_str()) == kNodeFile &&
                      std::strcmp(text, ".") != 0;
        Rect16 iconBox = makeRect16(box.x + 2, box.y, kIconWidth, box.height);
        DRAW_Icon(list, &iconBox, isFile ? memory.fileIcon : memory.folderIcon);
        DRAW_SetFont(list, isFile ? gTextFont : gLabelFont);
        Rect16 textBox = makeRect16(box.x + 21, box.y, box.width - 21, box.height);
        DRAW_Text(list, &textBox, kRowTextFlags, text);
    } else {
        char baseName[kPathSize];
        extractFilename(text, baseName, sizeof baseName);
        DRAW_SetFont(list, gTextFont);
        Rect16 textBox = makeRect16(box.x + 3, box.y, box.width - 3, box.height);
        DRAW_Text(list, &textBox, kRowTextFlags, baseName);
    }
}

// ---- Notification procedures.

void listNfy(LBoxObj* list, int code, bool disk) {
    Picker* picker = openPicker;
    switch (code) {
        case kNfyRowDraw:
        case kNfyRowDrawSelected:
        case kNfyRowDrawFocused:
            drawRow(list, disk);
            return;
        case kNfyRowGetText:
            if (const char* text = rowText(list)) LBOX_CurSetText(list, text);
            return;
        case kNfyRowDestroyed:
            delete[] reinterpret_cast<char*>(list->current() ? list->current()->clientData : 0);
            return;
        case kNfyRowAdded:
        case kNfyRowMouseUp:
            return;
        case kNfySelectionChanged:
            if (picker != nullptr) picker->fillNameFromSelection(list);
            break;
        case kNfyRowActivated:
            if (picker != nullptr && list->current() != nullptr) picker->okPressed();
            return;
        default:
            break;
    }
    LBOX_DefNfy(list, code);
}

void diskListNfy(LBoxObj* list, int code) {
    listNfy(list, code, true);
}
void projectListNfy(LBoxObj* list, int code) {
    listNfy(list, code, false);
}

void okButtonNfy(TButObj* button, int code) {
    TBUT_DefNfy(button, code);
    if (code == kNfyActivated && openPicker != nullptr) openPicker->okPressed();
}

void findButtonNfy(TButObj* button, int code) {
    TBUT_DefNfy(button, code);
    if (code == kNfyActivated && openPicker != nullptr) openPicker->find();
}

void cancelButtonNfy(TButObj* button, int code) {
    TBUT_DefNfy(button, code);
    if (code == kNfyActivated && openPicker != nullptr) {
        openPicker->result[0] = '\0';
        WIN_ModalReturn(openPicker->window, kModalCancelled);
    }
}

void acceptDirectoryNfy(TButObj* button, int code) {
    TBUT_DefNfy(button, code);
    if (code == kNfyActivated && openPicker != nullptr) openPicker->acceptDirectory();
}

void applyFilter(Picker* picker) {
    if (picker->updateFilter()) picker->refresh(true);
}

void filterButtonNfy(TButObj* button, int code) {
    TBUT_DefNfy(button, code);
    if (code == kNfyActivated && openPicker != nullptr) {
        TED_SelectAll(openPicker->filterField());
        applyFilter(openPicker);
    }
}

void filterFieldNfy(TEdObj* field, int code) {
    Picker* picker = openPicker;
    if (picker != nullptr) {
        if (code == kNfyEnterKey) {
            applyFilter(picker);
            return;
        }
        if (code == kNfyFocusLost) {
            TBUT_SetDefButton(picker->button(kOkButton));
            applyFilter(picker);
        } else if (code == kNfyFocusGained) {
            TBUT_SetDefButton(picker->button(kFilterButton));
        }
    }
    TED_DefNfy(field, code);
}

template <bool kDisk>
void sourceRadioNfy(TButObj* button, int code) {
    if (code == kNfyFocusGained) return;
    TBUT_DefNfy(button, code);
    if (code == kNfyActivated && openPicker != nullptr) openPicker->chooseSource(kDisk);
}

void typeBoxNfy(CBoxObj* combo, int code) {
    CBOX_DefNfy(combo, code);
    if (code == kNfyInit && projectSource != nullptr) {
        projectSource->buildTypePopUp(combo);
        ColorObj* background = WGT_GetBgColor(WGT_GetWin(combo));
        WgtObj* parts[] = {CBOX_GetTBut(combo), CBOX_GetTEd(combo), CBOX_GetLBox(combo)};
        for (WgtObj* part : parts) {
            if (part == nullptr) continue;
            WGT_SetBgColor(part, background);
            WGT_SetFont(part, gTextFont);
        }
    } else if (code == kNfyEltChosen && openPicker != nullptr) {
        openPicker->chooseType();
    }
}

// The directory shown last goes back to the Tool Manager for the next picker.
void storePickerDirectory() {
    if (memory.currentDirectory.empty()) return;
    auto* message = new Message(kSetPickerDirectoryMsg.code, &gKelvaneToolInfo);
    message->addTextParam(memory.currentDirectory.c_str());
    delete gMessageCenter->sendMessage(message);
}

// The directory where the last picker of the environment ended.
void fetchPickerDirectory() {
    auto* request = new Message(kGetPickerDirectoryMsg.code, &gKelvaneToolInfo);
    request->wantsReply = 1;
    std::unique_ptr<Message> reply(gMessageCenter->sendMessage(request));
    if (!reply || reply->paramCount != 2) return;
    char directory[kPathSize];
    reply->getTextParam(1, directory, sizeof directory);
    if (FMGR_GetNodeType(directory) == kNodeDirectory) memory.currentDirectory = directory;
}

void pickerWindowNfy(WinObj* window, int code) {
    if (code == kNfyResized) WGT_Inval(window);
    if (code == kNfyWindowClosed) {
        delete gWindowManager->removeWindowRec(window);
        gFilePickerWindow = nullptr;
        storePickerDirectory();
    }
    WIN_DefNfy(window, code);
    gMessageCenter->modalPoll(window, code);
}

void loadPickerResources(LBoxObj* diskList) {
    if (memory.resourcesLoaded) return;
    memory.resourcesLoaded = true;
    memory.listBackground = diskList->bgColor;
    memory.folderIcon = RES_LoadInit("shared", "folderIcon");
    memory.fileIcon = RES_LoadInit("shared", "fileIcon");
}

void attachProcedures(Picker& picker) {
    RES_SetNfyProcDS(picker.window, pickerWindowNfy, 0);
    RES_SetNfyProcDS(picker.diskList(), diskListNfy, 0);
    RES_SetNfyProcDS(picker.projectList(), projectListNfy, 0);
    RES_SetNfyProcDS(picker.typeBox(), typeBoxNfy, 0);
    RES_SetNfyProcDS(picker.button(kOkButton), okButtonNfy, 0);
    RES_SetNfyProcDS(picker.button(kFindButton), findButtonNfy, 0);
    RES_SetNfyProcDS(picker.button(kCancelButton), cancelButtonNfy, 0);
    RES_SetNfyProcDS(picker.filterField(), filterFieldNfy, 0);
    RES_SetNfyProcDS(picker.radio(kDiskRadio), sourceRadioNfy<true>, 0);
    RES_SetNfyProcDS(picker.radio(kProjectRadio), sourceRadioNfy<false>, 0);
    RES_SetNfyProcDS(picker.button(kFilterButton), filterButtonNfy, 0);
    RES_SetNfyProcDS(picker.button(kAcceptDirectoryButton), acceptDirectoryNfy, 0);
}

// What chooseFile and chooseDirectory set up differently.
struct PickerSetup {
    bool directoryMode;
    bool showRadioButtons;
    bool startWithDisk;
};

// Creates the window, runs it modally and destroys it; true when a path
// was chosen.
bool runPicker(const PickerSetup& setup, char* result, size_t resultSize, const char* prompt,
               const char* filterList, bool mustExist, bool confirmReplace) {
    if (result == nullptr || resultSize == 0) return false;
    result[0] = '\0';
    WinObj* window = WIN_Load("shared", "filePicker");
    if (window == nullptr) return false;
    Picker picker(window, result, resultSize, setup.directoryMode, mustExist, confirmReplace);
    attachProcedures(picker);
    loadPickerResources(picker.diskList());
    // Tools that built no help manager show the picker without F1 help.
    if (gHelpManager != nullptr) gHelpManager->addModalHelp(window, kHelpKey, nullptr);
    // Open from here on: a message handled while the window is filled and
    // asking for a picker of its own gets the refusal.
    openPicker = &picker;
    gFilePickerWindow = window;
    WIN_Init(window);
    gWindowManager->addWindowRec(kFilePickerWindowType, window, nullptr, nullptr);
    if (prompt != nullptr) WIN_SetLabel(window, prompt);
    fetchPickerDirectory();

    picker.setFilter(filterList);
    WGT_SetVisibility(picker.child(kSourceGroup), setup.showRadioButtons);
    // The title may be hidden by the window manager's decorations or cut:
    // the question is asked inside the window too.
    if (!setup.showRadioButtons && prompt != nullptr) {
        TAREA_SetLabel(static_cast<TAreaObj*>(picker.child(kPrompt)), prompt);
        WGT_SetVisibility(picker.child(kPrompt), true);
    }
    WGT_SetVisibility(picker.button(kAcceptDirectoryButton), setup.directoryMode);
    if (setup.directoryMode) TBUT_SetLabel(picker.button(kOkButton), "Open Directory");
    picker.showList(setup.startWithDisk);
    picker.initialising = false;

    int status = WIN_ModalProcess(window);
    WIN_TerminateGetStatus(window);
    openPicker = nullptr;
    gFilePickerWindow = nullptr;
    if (status != kAccepted) result[0] = '\0';
    return result[0] != '\0';
}
}  // namespace

void setProjectFileSource(ProjectFileSource* source) {
    projectSource = source;
}

bool chooseFile(int mode, char* result, size_t resultSize, const char* prompt,
                const char* /*acceptText*/, const char* filterList, bool mustExist,
                bool confirmReplace) {
    if (gFilePickerWindow != nullptr) {
        okaBeep();
        WIN_PopToFront(gFilePickerWindow);
        return false;
    }
    PickerSetup setup{false, mode == kPickerBoth,
                      mode == kPickerDisk || (mode == kPickerBoth && memory.diskMode)};
    return runPicker(setup, result, resultSize, prompt, filterList, mustExist, confirmReplace);
}

bool chooseDirectory(char* result, size_t resultSize, const char* prompt,
                     const char* /*unusedText*/, const char* filterList, bool mustExist) {
    if (gFilePickerWindow != nullptr) {
        WIN_PopToFront(gFilePickerWindow);
        return false;
    }
    memory.diskMode = true;
    return runPicker(PickerSetup{true, false, true}, result, resultSize, prompt, filterList,
                     mustExist, false);
}

bool chooseFileForFullPath(const char* partialPath, char* result, size_t resultSize) {
    return chooseFile(kPickerDisk, result, resultSize, "Choose file", "Accept", partialPath, true,
                      true);
}

int fileFilterProc(const char* directory, const char* name, void* listBox) {
    if (openPicker != nullptr && openPicker->listsFile(directory, name)) {
        appendRow(static_cast<LBoxObj*>(listBox), name);
    }
    return 1;
}

int searchDirectoryFilterProc(const char* directory, const char* name, void* result) {
    auto& search = *static_cast<FindSearch*>(result);
    if (search.stopped) return 0;
    std::string path = joinPath(directory, name);
    if (path.empty()) return 1;
    WGT_UseCursor(search.window, CURS_WaitCursor(++search.steps));
    bool isDirectory = FMGR_GetNodeType(path.c_str()) == kNodeDirectory;
    bool offered = search.directoryMode ? isDirectory : FMGR_GetNodeType(path.c_str()) == kNodeFile;
    if (offered && search.filter->wildCardListEqual(name)) {
        std::string question = "Found " + path;
        long answer = askUser(question.c_str(), kAlertQuestion, "Find", "Select", "Continue",
                              "Cancel", 0, kHelpKey);
        if (answer == 1) search.found = path;
        search.stopped = answer != 2;
    } else if (isDirectory && FMGR_IsReadable(path.c_str())) {
        searchDirectory(search, path);
    }
    return 1;
}
