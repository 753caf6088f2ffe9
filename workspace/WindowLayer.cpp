#include "workspace/WindowLayer.h"

#include "core/AlertHook.h"
#include "core/Globals.h"
#include "core/Platform.h"
#include "core/Utilities.h"
#include "messaging/FullPath.h"
#include "messaging/MessageCenter.h"
#include "toolkit/base/GraphicResources.h"
#include "toolkit/base/NotifyCodes.h"
#include "toolkit/base/SystemServices.h"
#include "toolkit/resources/ResourceLibrary.h"
#include "toolkit/widgets/Draw.h"
#include "toolkit/widgets/Event.h"
#include "toolkit/widgets/WinObj.h"
#include "tools/Environment.h"
#include "workspace/AlertWindow.h"
#include "workspace/FilePicker.h"
#include "workspace/WindowManager.h"

namespace {
constexpr int kModalPollIntervalMs = 100;

// On the modal window's initialisation and on each of its alarms: one poll
// of the message center, then the next alarm.
void pollDuringModal(WgtObj* window, int code) {
    if (code != kNfyInit && code != kNfyAlarm) return;
    // A program asked to end (by a signal) does not wait for the user: the
    // loop's next alarm ends it without an answer.
    if (code == kNfyAlarm && gFinished) {
        WIN_ModalReturn(window->window(), kModalCancelled);
        return;
    }
    gMessageCenter->poll();
    EVENT_StartWgtAlarm(window, 0, kModalPollIntervalMs);
}

void startWindows(bool isToolManager) {
    // Questions from the layers below the windows, and the bell, go to the display.
    setAlertProc(displayAlertWindow);
    setBellProc(DSPLY_Beep);
    // A partial path that does not resolve is offered to the user in the picker.
    setAskForFileProc(chooseFileForFullPath);
    setModalPollProc(pollDuringModal);
    gWindowManager = new WindowManager(isToolManager);
}

// The shared colours, pens, pattern and fonts, in the order of their globals.
void loadSharedResources() {
    loadResourceLibrary("shared", "shared.dat");
    gBlackColor = COLOR_Black();
    gGrayColor = COLOR_Gray();
    gLightGrayColor = COLOR_LightGray();
    gYellowColor = COLOR_Yellow();
    gRedColor = COLOR_Red();
    gGreenColor = COLOR_Green();
    gTransparentColor = COLOR_Transparent();
    gInvisibleColor = COLOR_LoadById(0);
    gHiliteColor = RES_LoadInit("shared", "hiliteColor");
    gHiliteLighterColor = RES_LoadInit("shared", "hiliteLighterColor");
    gHiliteDarkerColor = RES_LoadInit("shared", "hiliteDarkerColor");
    gLightYellowColor = RES_LoadInit("shared", "lightYellowColor");
    gLightRedColor = RES_LoadInit("shared", "lightRedColor");
    gLightGreenColor = RES_LoadInit("shared", "lightGreenColor");
    gGrayTextColor = RES_LoadInit("shared", "grayTextColor");
    gSolidPen = PEN_Solid();
    gInvisiblePen = PEN_Invisible();
    gEmptyPattern = PATT_Empty();
    gTextFont = RES_LoadInit("shared", "TextFont");
    gLabelFont = RES_LoadInit("shared", "LabelFont");
}

// Before the message center goes: the windows report their boxes with it.
void stopWindows() {
    delete gWindowManager;
    gWindowManager = nullptr;
    setAlertProc(nullptr);
    setBellProc(nullptr);
    setAskForFileProc(nullptr);
    setModalPollProc(nullptr);
}
}  // namespace

ColorObj* gBlackColor = nullptr;
ColorObj* gGrayColor = nullptr;
ColorObj* gLightGrayColor = nullptr;
ColorObj* gYellowColor = nullptr;
ColorObj* gRedColor = nullptr;
ColorObj* gGreenColor = nullptr;
ColorObj* gTransparentColor = nullptr;
ColorObj* gInvisibleColor = nullptr;
ColorObj* gHiliteColor = nullptr;
ColorObj* gHiliteLighterColor = nullptr;
ColorObj* gHiliteDarkerColor = nullptr;
ColorObj* gLightYellowColor = nullptr;
ColorObj* gLightRedColor = nullptr;
ColorObj* gLightGreenColor = nullptr;
ColorObj* gGrayTextColor = nullptr;
PenObj* gSolidPen = nullptr;
PenObj* gInvisiblePen = nullptr;
PattObj* gEmptyPattern = nullptr;
FontObj* gTextFont = nullptr;
FontObj* gLabelFont = nullptr;

void installWindowLayer() {
    setWindowLayerHooks({startWindows, loadSharedResources, stopWindows});
}

void loadResourceLibrary(const char* libraryName, const char* fileName) {
    char path[kPathSize];
    formatPath(path, sizeof path, "%s%s", gResourcesDirectory, fileName);
    RLIB_LoadLibFile(libraryName, path);
}
