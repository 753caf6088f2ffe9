// kelvane as the end-to-end tests see it: started headless in a temporary
// HOME with a throw-away installation, and spoken to like a tool would,
// through a tool-side message center.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "TestSupport.h"
#include "messaging/MessageCenter.h"

class KelvaneHarness {
public:
    KelvaneHarness();   // the HOME and the installation; kelvane is not started
    ~KelvaneHarness();  // stops a kelvane still running

    // Starts kelvane (in HOME, with HOME and OKA set, plus `extraEnvironment`)
    // and waits for its port file; false when it did not come up.
    bool start(const std::vector<std::string>& extraEnvironment = {});
    // Ends kelvane with SIGTERM; its exit status, or -1000 if it hung.
    int stop();

    // Sends `message` to kelvane and waits up to `timeoutMs` for the reply.
    std::unique_ptr<Message> ask(Message* message, uint32_t timeoutMs = 3000);
    // Polls the tool side (or just waits, once kelvane is stopped) until
    // `condition` holds or `timeoutMs` passes.
    bool waitUntil(const std::function<bool()>& condition, int timeoutMs);

    // HOME and OKA, for other programs started against this installation.
    std::vector<std::string> environment() const;
    std::string log() const { return readFile(home.okaDirectory() / "okalog"); }

    TempHome home;                             // the user's home: log, port file, preferences
    std::filesystem::path root;                // the installation (OKA)
    std::unique_ptr<ChildProcess> kelvane;     // the running Tool Manager, or null
    std::unique_ptr<MessageCenter> tool;       // the tests' own end of the conversation
    int port = 0;                              // kelvane's port, from its port file
};
