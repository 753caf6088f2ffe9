#include "workspace/Environment.h"

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>

#include "core/Globals.h"
#include "core/Log.h"
#include "core/Utilities.h"
#include "messaging/FullPath.h"
#include "messaging/MessageCenter.h"
#include "toolkit/GraphicResources.h"
#include "toolkit/ResourceLibrary.h"
#include "toolkit/SystemServices.h"
#include "workspace/AlertWindow.h"
#include "workspace/FilePicker.h"
#include "workspace/WindowManager.h"

namespace {
constexpr const char* kLogSource = "../globals";

std::unique_ptr<std::ofstream> logFile;  // the stream behind gOKALogStream

int16_t logLevelFromEnvironment() {
    const char* value = std::getenv("OKA_LOGLEVEL");
    if (value == nullptr) return 0;
    if (std::strcmp(value, "logAll") == 0) return 2;
    if (std::strcmp(value, "logSome") == 0) return 1;
    return 0;
}

int32_t logSizeFromEnvironment() {
    const char* value = std::getenv("OKA_LOG_SIZE");
    if (value == nullptr || value[0] == '\0') return kDefaultMaxLogSize;
    return int32_t(std::atoi(value));
}

// Opens the log for appending. The Tool Manager empties a log that has grown
// past the limit; tools never trim it.
void openLog(bool trim) {
    char directory[kPathSize];
    char path[kPathSize];
    getValidPreferencesDirectory(directory);
    formatPath(path, "%sokalog", directory);
    logFile = std::make_unique<std::ofstream>(path, std::ios::app);
    if (trim && logFile->is_open() && int64_t(logFile->tellp()) > gMaxOKALogSize) {
        logFile->close();
        std::ofstream(path, std::ios::trunc).close();
        logFile->open(path, std::ios::app);
    }
    gOKALogStream = logFile.get();
}

// The shared colours, pens, pattern and fonts, in the order of their globals.
void loadSharedResources() {
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

void interruptHandler(int) {
    if (!TCPTransport::cutConnectionBeingRead()) gFinished = 1;
}

void seedRandom(const char* name) {
    unsigned seed = unsigned(timeInSeconds());
    for (int i = 0; i < 4 && name[i] != '\0'; ++i) seed += uint8_t(name[i]);
    std::srand(seed);
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

int32_t initializeGlobals(const char* name, int port) {
    gToolName = newStringCopy(name);
    gLogLevel = logLevelFromEnvironment();
    gMaxOKALogSize = logSizeFromEnvironment();
    openLog(port > 0);
    OKA_LOG("\nInitializing %s\n", name);
    seedRandom(gToolName);
    // Questions from the layers below the windows, and the bell, go to the display.
    setAlertProc(displayAlertWindow);
    setBellProc(DSPLY_Beep);
    // A partial path that does not resolve is offered to the user in the picker.
    setAskForFileProc(chooseFileForFullPath);

    gMessageCenter = port > 0 ? new MessageCenter(port) : new MessageCenter();
    gKelvaneToolInfo.port = TCPTransport::getToolManagerPort();
    OKA_LOG("Got port of %d for Tool Manager", gKelvaneToolInfo.port);
    gWindowManager = new WindowManager(port > 0);

    const char* root = std::getenv("OKA");
    if (root == nullptr || root[0] == '\0') {
        OKA_LOG("the OKA environment variable was not set - this is bad");
        return kErrorNoInstallation;
    }
    char directory[kPathSize];
    size_t length = std::strlen(root);
    formatPath(directory, "%s%s", root, root[length - 1] == '/' ? "" : "/");
    gOkaDirectory = newStringCopy(directory);
    formatPath(directory, "%sbin%cresource%c", gOkaDirectory, '/', '/');
    gResourcesDirectory = newStringCopy(directory);
    loadResourceLibrary("shared", "shared.dat");
    loadSharedResources();
    return 0;
}

void loadResourceLibrary(const char* libraryName, const char* fileName) {
    char path[kPathSize];
    formatPath(path, "%s%s", gResourcesDirectory, fileName);
    RLIB_LoadLibFile(libraryName, path);
}

void cleanUpGlobals() {
    delete gWindowManager;
    gWindowManager = nullptr;
    delete gMessageCenter;
    gMessageCenter = nullptr;
    delete[] gToolName;
    gToolName = nullptr;
    delete[] gOkaDirectory;
    gOkaDirectory = nullptr;
    delete[] gResourcesDirectory;
    gResourcesDirectory = nullptr;
    gOKALogStream = nullptr;
    logFile.reset();
    setAlertProc(nullptr);
    setBellProc(nullptr);
    setAskForFileProc(nullptr);
}

void installInterruptHandler() { std::signal(SIGINT, interruptHandler); }
