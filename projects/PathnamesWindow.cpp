// The pathnames window ("pathnames" of the kelvane library): the project
// paths in a multi-line field, one directory per line, and a browse button
// that appends a directory chosen in the file picker. The field is the
// user's draft: the list takes it when the window closes, and the project
// file is written then.
#include <string>

#include "core/Log.h"
#include "core/Utilities.h"
#include "projects/GlobalPathManager.h"
#include "toolkit/Toolkit.h"
#include "workspace/ErrorText.h"
#include "workspace/FilePicker.h"
#include "workspace/HelpManager.h"
#include "workspace/WindowManager.h"

WinObj* GlobalPathManager::pathnamesWindow = nullptr;

namespace {
constexpr const char* kLogSource = "../pathmgr";
constexpr const char* kHelpKey = "ProjectPaths";

enum PathnamesChild { kPathsField = 1, kBrowseButton = 2 };

TEdObj* pathsField(WinObj* window) {
    return static_cast<TEdObj*>(RES_GetNthChild(window, kPathsField));
}
}  // namespace

void GlobalPathManager::editGlobalPaths() {
    if (pathnamesWindow != nullptr) {
        WIN_Show(pathnamesWindow);
        WIN_PopToFront(pathnamesWindow);
        return;
    }
    WinObj* window = WIN_Load("kelvane", "pathnames");
    if (window == nullptr) {
        OKA_LOG("editGlobalPaths: the kelvane library has no pathnames window");
        return;
    }
    RES_SetNfyProcDS(window, nd_pathnamesWindowNfy, 0);
    RES_SetNfyProcDS(static_cast<TButObj*>(RES_GetNthChild(window, kBrowseButton)),
                     nd_browserButtonNfy, 0);
    WIN_Init(window);
    gWindowManager->addWindowRec(kPathnamesWindowType, window, nullptr, nullptr);
    pathnamesWindow = window;
    setFieldFromPaths(window);
    WIN_Show(window);
}

void GlobalPathManager::setFieldFromPaths(WinObj* window) {
    std::string text;
    for (long i = 0; i < paths.getCount(); ++i) {
        text += static_cast<StringItem*>(paths.get(i))->getString();
        text += '\n';
    }
    TEdObj* field = pathsField(window);
    TED_SetStr(field, text.c_str());
    TED_SetInsertPos(field, -1);
}

void GlobalPathManager::setPathsFromField(WinObj* window) {
    paths.removeAll();
    std::string text = TED_GetStr(pathsField(window));
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line;
        for (size_t i = start; i < end; ++i) {
            if (text[i] != ' ') line += text[i];
        }
        // A line of blanks still counts as a line; an empty one does not.
        if (end > start) {
            if (line.size() < kPathSize) {
                paths.include(new StringItem(line.c_str()));
            } else {
                OKA_LOG("a project path of %zu characters is too long and was dropped",
                        line.size());
            }
        }
        start = end + 1;
    }
}

void GlobalPathManager::nd_pathnamesWindowNfy(WinObj* window, int code) {
    if (code == kNfyWindowClosed && window == pathnamesWindow && gGlobalPathManager != nullptr) {
        gGlobalPathManager->setPathsFromField(window);
        // The edited paths stay in memory and are written again at the end.
        if (Status written = gGlobalPathManager->writePathsToDisk(); !written.ok())
            alertThisError(written.code());
        delete gWindowManager->removeWindowRec(window);
        pathnamesWindow = nullptr;
    }
    if (code == kNfyKeyDown && gHelpManager != nullptr)
        gHelpManager->checkHelpKey(kHelpKey, window, nullptr);
    WIN_DefNfy(window, code);
}

void GlobalPathManager::nd_browserButtonNfy(TButObj* button, int code) {
    if (code == kNfyFocusGained || code == kNfyFocusLost) return;
    TBUT_DefNfy(button, code);
    if (code != kNfyActivated) return;
    char directory[kPathSize];
    if (!chooseDirectory(directory, sizeof directory,
                         "Choose a directory to add to the project paths", nullptr, "*", true)) {
        return;
    }
    TEdObj* field = pathsField(WGT_GetWin(button));
    std::string text = TED_GetStr(field);
    if (text.size() >= 2 && text.back() != '\n') text += '\n';
    text += directory;
    TED_SetStr(field, text.c_str());
    TED_SetInsertPos(field, -1);
}
