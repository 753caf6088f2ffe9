// kelvane as the end-to-end tests see it: started headless in a home of its
// own with a throw-away installation, and spoken to like a tool would,
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
#include "messaging/ToolListing.h"

class KelvaneHarness {
  public:
    KelvaneHarness();  // a temporary HOME and a fresh installation; kelvane is not started
    // kelvane will run in `givenHome` (made if missing) against `installation`.
    // The test's own HOME is left alone, so that many harnesses can live side
    // by side; the tool side then binds near the port in that HOME's port file.
    KelvaneHarness(const std::filesystem::path& givenHome,
                   const std::filesystem::path& installation);
    ~KelvaneHarness();  // stops a kelvane still running

    // Starts kelvane (in its home, with HOME and OKA set, plus
    // `extraEnvironment`) and waits for it; false when it did not come up.
    bool start(const std::vector<std::string>& extraEnvironment = {});
    // The two halves of start: starting the process without waiting, and
    // waiting for its port file, then opening the tool side.
    void launch(const std::vector<std::string>& extraEnvironment = {});
    bool waitUntilListening(int timeoutMs);
    // Ends kelvane with SIGTERM; its exit status, or -1000 if it hung.
    int stop();
    // Kills kelvane outright, as a crash would: its port file stays, its
    // tools live on.
    void kill();
    // Starts kelvane again after kill, over the port file left behind, and
    // waits until it has rewritten it; false when it did not come up.
    bool restartAfterCrash();

    // Sends `message` to kelvane and waits up to `timeoutMs` for the reply.
    std::unique_ptr<Message> ask(Message* message, uint32_t timeoutMs = 3000);
    // Polls the tool side (or just waits, once kelvane is stopped) until
    // `condition` holds or `timeoutMs` passes.
    bool waitUntil(const std::function<bool()>& condition, int timeoutMs);
    // Whether kelvane answers 'LOOK' with a registered tool of `type`.
    bool isRegistered(TypeCode type);

    // Puts the two bundled sample tools (okasampleviewer, okasamplerunner)
    // into the installation and its tool list.
    void installSampleTools();
    // The registered tools with their commands, as 'TLST' tells them.
    std::vector<ToolListing> listTools();
    // Both sample tools are loaded and have published all their commands.
    bool sampleToolsReady();

    // HOME and OKA, for other programs started against this installation.
    std::vector<std::string> environment() const;
    std::string log() const { return readFile(home.okaDirectory() / "okalog"); }

    std::unique_ptr<TempHome> temporaryHome;  // the HOME made when none was given
    HomeDirectory home;                       // kelvane's home: log, port file, preferences
    std::filesystem::path root;               // the installation (OKA)
    std::unique_ptr<ChildProcess> kelvane;    // the running Tool Manager, or null
    std::unique_ptr<MessageCenter> tool;      // the tests' own end of the conversation
    int port = 0;                             // kelvane's port, from its port file
    bool headless = true;                     // started with --headless, else on DISPLAY

  private:
    void startProcess(const std::vector<std::string>& extraEnvironment);
};
