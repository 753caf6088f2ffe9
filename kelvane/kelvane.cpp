// kelvane: the Tool Manager program.
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>

#include "core/Globals.h"
#include "core/ProgramOptions.h"
#include "core/Utilities.h"
#include "kelvane/ToolManagerApp.h"
#include "kelvane/WorkspaceWindow.h"
#include "messaging/MessageCenter.h"
#include "toolkit/AppLifecycle.h"
#include "toolkit/widgets/Backend.h"
#include "tools/Environment.h"

namespace {

constexpr const char* kUsage =
    "Usage: kelvane [--headless] [--help] [--version]\n"
    "\n"
    "Starts the Tool Manager of the OKA: it listens for the tools' messages on\n"
    "127.0.0.1 port 4100 (or the next free port, written to ~/.oka/okaport), starts the\n"
    "tools named in $OKA/bin/resource/toollist and runs until its workspace\n"
    "window is closed or it receives SIGTERM or SIGHUP.\n"
    "\n"
    "  --headless  run without a display, even when DISPLAY is set\n"
    "  --help      show this text\n"
    "  --version   show the version\n"
    "\n"
    "Environment: OKA (installation root, required), OKA_LOGLEVEL (logSome or\n"
    "logAll), OKA_LOG_SIZE (log size limit in bytes), HOME, OKA_ALLOW_OTHER_USERS\n"
    "(1: accept connections of other local users). See man kelvane.\n";

void requestFinish(int) {
    gFinished = 1;
}

// One line for whoever started kelvane by hand: where it listens, how it
// runs, where it logs and how to end it.
void announceReady() {
    char directory[kPathSize];
    (void)getValidPreferencesDirectory(directory, sizeof directory);  // only told here
    std::printf(
        "kelvane: ready on 127.0.0.1 port %d (%s), log %sokalog; stop with Ctrl-C or "
        "kill %d\n",
        gMessageCenter->getTransport().getPort(),
        std::strcmp(currentBackend().name(), "headless") == 0 ? "headless" : "GUI", directory,
        int(getpid()));
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (answerHelpOrVersion(argc, argv, "kelvane", kUsage)) return 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--headless") != 0) {
            std::fprintf(stderr, "kelvane: unknown option %s (see --help)\n", argv[i]);
            return 2;
        }
    }
    std::signal(SIGTERM, requestFinish);
    std::signal(SIGHUP, requestFinish);
    installInterruptHandler();

    startToolkit(argc, argv);

    int32_t started;
    {
        ToolManagerApp application;
        started = application.initializeApplication();
        if (started == 0) {
            createWorkspaceWindow();
            application.startTools();
            announceReady();
            application.runMainLoop();
            application.shutDownApplication();
            std::printf("kelvane: stopped\n");
        }
    }

    stopToolkit();
    // Without an installation there is nothing to run: the one start failure
    // that ends kelvane (the terminal and the log said why).
    return started == kErrorNoInstallation ? -1 : 0;
}
