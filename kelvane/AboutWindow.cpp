#include "kelvane/AboutWindow.h"

#include <string>

#include "core/Globals.h"
#include "core/Utilities.h"
#include "kelvane/ModalWindow.h"
#include "toolkit/Toolkit.h"

namespace {
constexpr const char* kPictureFile = "okaAbout.xpm";

enum AboutChild { kOkButton = 0, kVersion = 2, kAboutText = 3, kPicture = 6 };

// The text is read, not worked in: it takes neither the focus nor the pointer.
void aboutTextNfy(TEdObj* field, int code) {
    if (code == kNfyPointerMoved || code == kNfyFocusGained) return;
    TED_DefNfy(field, code);
}

void showPicture(WinObj* window) {
    auto* area = dynamic_cast<IAreaObj*>(RES_GetNthChild(window, kPicture));
    if (area == nullptr) return;
    std::string path = std::string(gResourcesDirectory) + kPictureFile;
    if (!fileExists(path.c_str()) || !ICON_SetFileName(IAREA_GetIcon(area), path.c_str())) {
        WGT_SetInvisible(area);
    }
}
}  // namespace

void displayAboutWindow() {
    WinObj* window = loadModalWindow("aboutOKAWindow");
    if (window == nullptr) return;
    RES_SetNfyProcDS(static_cast<TButObj*>(RES_GetNthChild(window, kOkButton)), okButtonNfy, 0);
    if (auto* text = dynamic_cast<TEdObj*>(RES_GetNthChild(window, kAboutText))) {
        RES_SetNfyProcDS(text, aboutTextNfy, 0);
    }
    WIN_Init(window);
    // The version every program prints for --version, from the build.
    if (auto* version = dynamic_cast<TAreaObj*>(RES_GetNthChild(window, kVersion))) {
        TAREA_SetLabel(version, (std::string("Version ") + OKA_VERSION).c_str());
    }
    showPicture(window);
    runModalWindow(window);
}
