#include "tools/Environment.h"

#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>

#include "core/Globals.h"
#include "core/Log.h"
#include "core/Utilities.h"
#include "messaging/MessageCenter.h"

namespace {
constexpr const char* kLogSource = "../globals";

std::unique_ptr<std::ofstream> logFile;  // the stream behind gOKALogStream
WindowLayerHooks windowLayer;            // empty in a program without windows

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
    // A log that cannot be opened is simply not written.
    (void)getValidPreferencesDirectory(directory, sizeof directory);
    formatPath(path, sizeof path, "%sokalog", directory);
    logFile = std::make_unique<std::ofstream>(path, std::ios::app);
    if (trim && logFile->is_open() && int64_t(logFile->tellp()) > gMaxOKALogSize) {
        logFile->close();
        std::ofstream(path, std::ios::trunc).close();
        logFile->open(path, std::ios::app);
    }
    gOKALogStream = logFile.get();
}

void interruptHandler(int) {
    if (!TCPTransport::cutConnectionBeingRead()) gFinished = 1;
}

// Tools started together by one tool list share their program name and
// second: the process id keeps them from drawing the same port.
void seedRandom(const char* name) {
    unsigned seed = unsigned(timeInSeconds()) ^ (unsigned(getpid()) << 8);
    for (int i = 0; i < 4 && name[i] != '\0'; ++i) seed += uint8_t(name[i]);
    std::srand(seed);
}
}  // namespace

void setWindowLayerHooks(const WindowLayerHooks& hooks) {
    windowLayer = hooks;
}

bool hasWindowLayer() {
    return windowLayer.start != nullptr;
}

int32_t initializeGlobals(const char* name, int port) {
    gToolName = newStringCopy(name);
    gLogLevel = logLevelFromEnvironment();
    gMaxOKALogSize = logSizeFromEnvironment();
    openLog(port > 0);
    OKA_LOG("\nInitializing %s\n", name);
    seedRandom(gToolName);

    gMessageCenter = port > 0 ? new MessageCenter(port) : new MessageCenter();
    gKelvaneToolInfo.port = TCPTransport::getToolManagerPort();
    OKA_LOG("Got port of %d for Tool Manager", gKelvaneToolInfo.port);
    if (windowLayer.start != nullptr) windowLayer.start(port > 0);

    const char* root = std::getenv("OKA");
    if (root == nullptr || root[0] == '\0') {
        OKA_LOG("the OKA environment variable was not set - this is bad");
        return kErrorNoInstallation;
    }
    char directory[kPathSize];
    size_t length = std::strlen(root);
    formatPath(directory, sizeof directory, "%s%s", root, root[length - 1] == '/' ? "" : "/");
    gOkaDirectory = newStringCopy(directory);
    formatPath(directory, sizeof directory, "%sbin%cresource%c", gOkaDirectory, '/', '/');
    gResourcesDirectory = newStringCopy(directory);
    if (windowLayer.loadSharedResources != nullptr) windowLayer.loadSharedResources();
    return 0;
}

void cleanUpGlobals() {
    if (windowLayer.stop != nullptr) windowLayer.stop();
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
}

void installInterruptHandler() {
    std::signal(SIGINT, interruptHandler);
}
