#include "workspace/HelpManager.h"

#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/Log.h"
#include "core/Platform.h"
#include "core/Utilities.h"
#include "messaging/FullPath.h"
#include "messaging/MessageCenter.h"
#include "messaging/MessageTypes.h"
#include "toolkit/Toolkit.h"

HelpManager* gHelpManager = nullptr;

namespace {
constexpr const char* kLogSource = "../help";
constexpr const char* kDefaultViewer = "netscape";
// What a desktop of today opens an HTML file with.
constexpr const char* kDesktopViewer = "xdg-open";
constexpr const char* kHelpTitle = "&Help";
constexpr const char* kMenuItemHelpLabel = "&Menu Item";
constexpr const char* kThisWindowLabel = "&This Window";

struct StandardDocument {
    const char* label;
    const char* file;
};
constexpr StandardDocument kStandardDocuments[] = {
    {"&Developer Library", "classes.html"},
    {"&Programmng Guide", "developer.html"},
    {"&Language Reference", "quenta.html"},
    {"&User Guide", "userGuide.html"},
};

const char* stringAt(const List& list, long index) {
    auto* item = dynamic_cast<StringItem*>(list.get(index));
    return item != nullptr ? item->getString() : nullptr;
}

// The command that opens `document` with `viewer`: the viewer run directly
// when it is one plain word, else through the shell, which gets the document
// as an argument of its own and so never reads it as shell text.
std::vector<std::string> viewerArguments(const std::string& viewer, const std::string& document) {
    if (viewer.find_first_of(" \t\n'\"\\$`;&|<>()*?[]{}~#") == std::string::npos) {
        return {viewer, document};
    }
    return {"/bin/sh", "-c", viewer + " \"$1\"", "sh", document};
}

// True when `program` runs: a path to an executable, or a name found on the PATH.
bool programExists(const char* program) {
    if (std::strchr(program, '/') != nullptr) return access(program, X_OK) == 0;
    const char* path = std::getenv("PATH");
    std::string directories = path != nullptr ? path : "";
    size_t start = 0;
    while (start <= directories.size()) {
        size_t end = directories.find(':', start);
        if (end == std::string::npos) end = directories.size();
        std::string directory = directories.substr(start, end - start);
        std::string candidate = (directory.empty() ? "." : directory) + "/" + program;
        if (access(candidate.c_str(), X_OK) == 0) return true;
        start = end + 1;
    }
    return false;
}

// The viewer as the user gave it (it may carry arguments), except that the
// old default, absent from today's machines, and an empty name give way to
// the desktop's opener. Said once in the log.
std::string viewerCommand(const char* viewerName) {
    bool empty = viewerName == nullptr || viewerName[0] == '\0';
    if (!empty && (std::strcmp(viewerName, kDefaultViewer) != 0 || programExists(viewerName))) {
        return viewerName;
    }
    static bool substitutionLogged = false;
    if (!substitutionLogged) {
        OKA_LOG("help viewer \"%s\" is not available: using %s", empty ? "" : viewerName,
                kDesktopViewer);
        substitutionLogged = true;
    }
    return kDesktopViewer;
}

// A path as a file:// URL: what the desktop's opener wants when the
// document carries an anchor (a bare name with "#..." is a missing file to
// it). Bytes other than letters, digits, "-._~/" and, in the anchor, ':' are
// percent-encoded.
std::string percentEncoded(const std::string& text, const char* alsoPlain) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    for (unsigned char c : text) {
        bool plain =
            c != '\0' && (std::isalnum(c) || std::strchr("-._~", c) || std::strchr(alsoPlain, c));
        if (plain) {
            encoded += char(c);
        } else {
            encoded += '%';
            encoded += kHex[c >> 4];
            encoded += kHex[c & 15];
        }
    }
    return encoded;
}

// The label without blanks and '&', as menu-item anchors carry it.
std::string stripLabel(const char* label) {
    std::string stripped;
    for (const char* c = label; *c != '\0'; ++c) {
        if (*c != ' ' && *c != '&') stripped += *c;
    }
    return stripped;
}

const char* helpFileOr(const char* helpFile) {
    return helpFile != nullptr && helpFile[0] != '\0' ? helpFile : kDefaultHelpFile;
}
}  // namespace

ModalClientData::ModalClientData(const char* key, const char* file)
    : windowKey(newStringCopy(key)), helpFile(newStringCopy(helpFileOr(file))) {}

ModalClientData::~ModalClientData() {
    delete[] windowKey;
    delete[] helpFile;
}

HelpManager::HelpManager(unsigned char isToolManager, const char* name) {
    if (isToolManager) {
        setViewerName(name != nullptr ? name : kDefaultViewer);
        for (const StandardDocument& document : kStandardDocuments) {
            addHelpMItem(document.label, document.file);
        }
        registerKelvaneHandlers();
        return;
    }
    registerToolHandlers();
    // The answers arrive as separate messages and fill the lists.
    gMessageCenter->sendMessage(new Message(kGetHelpDefaultsMsg.code, &gKelvaneToolInfo));
}

HelpManager::~HelpManager() {
    delete[] viewerName;
}

std::string HelpManager::getViewerInUse() const {
    return viewerCommand(viewerName);
}

void HelpManager::setViewerName(const char* name) {
    delete[] viewerName;
    viewerName = name != nullptr ? newStringCopy(name) : nullptr;
}

void HelpManager::addHelpMItem(const char* label, const char* file) {
    labels.include(new StringItem(label));
    files.include(new StringItem(file));
}

const char* HelpManager::getHelpMItemLabel(long index) const {
    return stringAt(labels, index);
}

const char* HelpManager::getHelpMItemFile(long index) const {
    return stringAt(files, index);
}

void HelpManager::addMenu(WinObj* window) {
    MBarObj* bar = window != nullptr ? WIN_GetMenuBar(window) : nullptr;
    if (bar == nullptr) return;
    MenuObj* menu = MENU_Create();
    bool titlePresent = MBAR_GoLabel(bar, kHelpTitle);
    if (titlePresent) {
        MENU_AddSeparator(menu);
    } else {
        MBAR_AddItem(bar, kHelpTitle);
    }
    for (long i = 0; i < labels.getCount(); ++i) MENU_AddItem(menu, getHelpMItemLabel(i), 0);
    MENU_AddItem(menu, kMenuItemHelpLabel, 0);
    MENU_CurSetAccelKey(menu, 1, 16, 'H');
    MENU_AddItem(menu, kThisWindowLabel, 0);
    MENU_CurSetAccelKey(menu, kHelpKeyCode, 0, ' ');
    MENU_CurSetAccelLabel(menu, "F1");
    MBAR_CurSetSubMenu(bar, menu);
    MBAR_CurSetRightAligned(bar, true);
}

void HelpManager::addMenuItem(WinObj* window, const char* label, short id, const char* accelLabel,
                              char key, int accelCode, int accelModifiers) {
    MBarObj* bar = window != nullptr ? WIN_GetMenuBar(window) : nullptr;
    if (bar == nullptr) return;
    MBAR_GoLast(bar);
    MenuObj* menu = MBAR_CurGetSubMenu(bar);
    if (menu == nullptr) return;
    MENU_AddItem(menu, label, id);
    if (accelLabel != nullptr) {
        MENU_CurSetAccelLabel(menu, accelLabel);
        MENU_CurSetAccelKey(menu, accelCode, accelModifiers, key);
    }
}

unsigned char HelpManager::handleHelpMItems(WinObj* window, const char* windowKey,
                                            const char* helpFile) {
    if (window == nullptr) return 0;
    WIN_DefNfy(window, kNfyMenuChosen);
    MBarObj* bar = WIN_GetMenuBar(window);
    MenuObj* menu = MBAR_ChosenGetMenu(bar);
    if (menu == nullptr || !MENU_HasChoice(menu)) return 0;
    std::string title = MBAR_ChosenGetLabel(bar);
    std::string item = MENU_ChosenGetLabel(menu);
    helpFile = helpFileOr(helpFile);

    if (menuItemHelpPending) {
        menuItemHelpPending = 0;
        showMenuHelpWin(helpFile, item.c_str(), windowKey);
        return 1;
    }
    if (item == kMenuItemHelpLabel) {
        menuItemHelpPending = 1;
        return 1;
    }
    if (item == kThisWindowLabel) {
        showWindowHelp(helpFile, windowKey, window);
        return 1;
    }
    if (title != kHelpTitle) return 0;
    for (long i = 0; i < labels.getCount(); ++i) {
        if (item == getHelpMItemLabel(i)) {
            showHelp(getHelpMItemFile(i), nullptr, nullptr);
            return 1;
        }
    }
    return 0;
}

unsigned char HelpManager::checkHelpKey(const char* windowKey, WinObj* window,
                                        const char* helpFile) {
    if (EVENT_GetKeyCode() != kHelpKeyCode) return 0;
    showWindowHelp(helpFileOr(helpFile), windowKey, window);
    return 1;
}

void HelpManager::showWindowHelp(const char* helpFile, const char* windowKey, WinObj* window) {
    char anchor[kPathSize];
    formatPath(anchor, sizeof anchor, "OKAWin:%s", windowKey != nullptr ? windowKey : "");
    showHelp(helpFile, anchor, window);
}

KyLstObj* HelpManager::createKey() {
    helpKeyList = KYLST_Create();
    KYELT_SetKeyCode(KYELT_Create(helpKeyList), kHelpKeyCode);
    return helpKeyList;
}

void HelpManager::addModalHelp(WinObj* window, const char* windowKey, const char* helpFile) {
    if (window == nullptr) return;
    TButObj* button = TBUT_Create();
    TBUT_SetLabel(button, "");
    // Off the window: the button is there for its accelerator only.
    Rect16 outside = makeRect16(-10, -10, -10, -10);
    WGT_SetBox(button, &outside);
    TBUT_SetAccelKeys(button, createKey());
    WGT_SetClientData(button, ClientData(new ModalClientData(windowKey, helpFile)));
    RES_SetNfyProcDS(button, helpTButNfy, 0);
    PANEL_AddWgt(WIN_GetPanel(window), button);
}

void HelpManager::helpTButNfy(TButObj* button, int code) {
    auto* data = reinterpret_cast<ModalClientData*>(WGT_GetClientData(button));
    if (code == kNfyActivated && data != nullptr && gHelpManager != nullptr) {
        gHelpManager->checkHelpKey(data->windowKey, WGT_GetWin(button), data->helpFile);
    } else if (code == kNfyButtonDestroyed) {
        delete data;
        WGT_SetClientData(button, 0);
    }
    TBUT_DefNfy(button, code);
}

void HelpManager::showMenuHelpWin(const char* helpFile, const char* itemLabel,
                                  const char* windowKey) {
    std::string label = stripLabel(itemLabel != nullptr ? itemLabel : "");
    char anchor[kPathSize];
    formatPath(anchor, sizeof anchor, "OKAMenu:%s:%s", windowKey != nullptr ? windowKey : "",
               label.c_str());
    showHelp(helpFileOr(helpFile), anchor, nullptr);
}

void HelpManager::showHelp(const char* file, const char* anchor, WinObj* window) {
    std::unique_ptr<char[]> fullPath(makeFullPath(file, gKelvaneToolInfo, true));
    if (!fullPath) {
        OKA_LOG("Could not find help file \"%s\" with anchor %s", file != nullptr ? file : "",
                anchor != nullptr ? anchor : "");
        okaBeep();
        return;
    }
    std::string viewer = viewerCommand(viewerName);
    std::string document = fullPath.get();
    bool asUrl = viewer == kDesktopViewer;
    if (asUrl) document = "file://" + percentEncoded(document, "/");
    if (anchor != nullptr)
        document += "#" + (asUrl ? percentEncoded(anchor, ":") : std::string(anchor));
    OKA_LOG("%s %s", viewer.c_str(), document.c_str());
    // The viewer's fate is its own: a failure to start is logged, not told.
    Status started = startDetached(viewerArguments(viewer, document));
    if (!started.ok()) {
        OKA_LOG("showHelp: could not start %s: %s", viewer.c_str(), std::strerror(started.code()));
    }
    if (window != nullptr) {
        // F1 brought us here: it must not reach the window as well, nor
        // repeat while the viewer comes up.
        WGT_KeyHandled(window);
        EVENT_Wait(1000);
        EVENT_DiscardKbEvents();
    }
}

void HelpManager::sendViewerNameMessage(const ToolInfo* tool) {
    if (tool == nullptr) return;
    auto* message = new Message(kHelpViewerMsg.code, tool);
    message->addTextParam(viewerName != nullptr ? viewerName : "");
    gMessageCenter->sendMessage(message);
}

void HelpManager::registerKelvaneHandlers() {
    gMessageCenter->registerMessageHandler(kGetHelpDefaultsMsg, getHelpDefaultsMsg);
}

void HelpManager::registerToolHandlers() {
    gMessageCenter->registerMessageHandler(kHelpViewerMsg, addDefaultToolMsg);
    gMessageCenter->registerMessageHandler(kHelpMenuItemMsg, addMenuItemMsg);
}

int32_t HelpManager::getHelpDefaultsMsg(Message* message, Message*) {
    if (gHelpManager == nullptr) return 0;
    gHelpManager->sendViewerNameMessage(&message->sender);
    for (long i = 0; i < gHelpManager->labels.getCount(); ++i) {
        auto* item = new Message(kHelpMenuItemMsg.code, &message->sender);
        item->addTextParam(gHelpManager->getHelpMItemLabel(i));
        item->addTextParam(gHelpManager->getHelpMItemFile(i));
        gMessageCenter->sendMessage(item);
    }
    return 0;
}

int32_t HelpManager::addDefaultToolMsg(Message* message, Message*) {
    if (gHelpManager == nullptr) return 0;
    char name[kPathSize];
    message->getTextParam(0, name, sizeof name);
    gHelpManager->setViewerName(name);
    OKA_LOG("help viewer: %s", name);
    return 0;
}

int32_t HelpManager::addMenuItemMsg(Message* message, Message*) {
    if (gHelpManager == nullptr) return 0;
    char label[kPathSize];
    char file[kPathSize];
    message->getTextParam(0, label, sizeof label);
    message->getTextParam(1, file, sizeof file);
    gHelpManager->addHelpMItem(label, file);
    OKA_LOG("help document \"%s\": %s", label, file);
    return 0;
}
