// Toolkit start and end, with the order of the calls checked.
#include "toolkit/AppLifecycle.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/Log.h"
#include "toolkit/AlertWindow.h"
#include "toolkit/fltk/FltkBackend.h"
#include "toolkit/headless/HeadlessBackend.h"
#include "toolkit/resources/ResourceLibrary.h"
#include "toolkit/widgets/Backend.h"

namespace {
constexpr const char* kLogSource = "../toolkit";

// The start-up and end calls in their order; each must follow the one before.
enum class Stage { Idle, Master, ErrorsRouted, FirstInit, Installed, Loaded, Ready, LibrariesGone };
Stage gStage = Stage::Idle;  // the last call made

void advance(Stage expectedBefore, Stage next, const char* call) {
    if (gStage != expectedBefore) OKA_LOG("%s called out of order", call);
    gStage = next;
}

bool wantsHeadless(int argc, char** argv) {
    for (int index = 1; index < argc; ++index)
        if (argv[index] != nullptr && std::strcmp(argv[index], "--headless") == 0) return true;
    const char* display = std::getenv("DISPLAY");
    return display == nullptr || display[0] == '\0';
}
}  // namespace

int ERR_Master(int argc, char** argv) {
    advance(Stage::Idle, Stage::Master, "ERR_Master");
    bool headless = wantsHeadless(argc, argv);
    Backend* backend = headless ? nullptr : createFltkBackend(argc, argv);
    if (backend == nullptr && !headless) {
        // The user asked for windows: say on the terminal why none come.
        const char* program = argc > 0 && argv[0] != nullptr ? argv[0] : "";
        if (const char* slash = std::strrchr(program, '/')) program = slash + 1;
        std::fprintf(stderr, "%s: cannot open display %s: running headless\n", program,
                     std::getenv("DISPLAY"));
        OKA_LOG("cannot open display %s: running headless", std::getenv("DISPLAY"));
    }
    installBackend(backend ? backend : new HeadlessBackend);
    return 0;
}

void ERR_Init() {
    advance(Stage::Master, Stage::ErrorsRouted, "ERR_Init");
    currentBackend().routeErrorsToLog();
    OKA_LOG("toolkit running with the %s backend", currentBackend().name());
}

void APP_InitFirst() {
    advance(Stage::ErrorsRouted, Stage::FirstInit, "APP_InitFirst");
}

void GW_LibInstall() {
    advance(Stage::FirstInit, Stage::Installed, "GW_LibInstall");
    installStockAlerts();
}

void GW_LibLoadInit() {
    advance(Stage::Installed, Stage::Loaded, "GW_LibLoadInit");
}
void APP_InitLast() {
    advance(Stage::Loaded, Stage::Ready, "APP_InitLast");
}

void GW_LibExit() {
    advance(Stage::Ready, Stage::LibrariesGone, "GW_LibExit");
    unloadAllLibraries();
}

void APP_Exit() {
    advance(Stage::LibrariesGone, Stage::Idle, "APP_Exit");
    installBackend(new HeadlessBackend);
}

void startToolkit(int argc, char** argv) {
    ERR_Master(argc, argv);
    ERR_Init();
    APP_InitFirst();
    GW_LibInstall();
    GW_LibLoadInit();
    APP_InitLast();
}

void stopToolkit() {
    GW_LibExit();
    APP_Exit();
}
