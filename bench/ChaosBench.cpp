// Chaos: kelvane with four tools while a driver sends steady traffic
// (requests the Tool Manager answers, a request relayed to a tool, file
// additions that ask every tool to identify the file) and, every 200 ms, a
// random tool is killed with -9 and started again at once. Figures: how
// fast the Tool Manager answers during the chaos (p50, p99, worst, per kind
// of request), how long a restarted tool takes to be registered again, how
// many restarts were refused, and which processes are left.
//
// Every unload and every registration makes the Tool Manager identify all
// of the project's files again, one 'IDFL' per file and tool, so the
// project's size weighs on every figure: the driver keeps it at FILES files
// by removing ('REMF') the file it added FILES additions before.
//
//   chaos_bench [SECONDS [FILES]]   60 s and 50 files by default;
//                                   OKA_BENCH_SMOKE=1 runs 3 s
#include <signal.h>
#include <sys/types.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "BenchScale.h"
#include "ChildProcess.h"
#include "KelvaneHarness.h"
#include "TestSupport.h"
#include "core/Platform.h"
#include "core/Utilities.h"
#include "messaging/MessageTypes.h"

namespace {
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr int kTools = 4;
constexpr auto kKillInterval = milliseconds(200);
constexpr auto kRequestInterval = milliseconds(5);  // the driver's pace
constexpr uint32_t kRegistrationLimitMs = 5000;     // a restart not registered by then failed

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// One of the four tools: okasample under a name and type of its own; the
// first is a source viewer, so that 'DISF' has somewhere to go.
struct ChaosTool {
    std::vector<std::string> arguments;
    TypeCode type;
    std::unique_ptr<ChildProcess> process;
};

std::vector<ChaosTool> describeTools() {
    std::vector<ChaosTool> tools;
    for (int i = 0; i < kTools; ++i) {
        std::string type = "CHT" + std::to_string(i);
        std::vector<std::string> arguments = {
            "--name",      "Chaos Tool " + std::to_string(i),
            "--type",      type,
            "--command",   "Work:0",
            "--extension", "c" + std::to_string(i) + ":Chaos:" + type + ":chaos"};
        if (i == 0) arguments.push_back("--source-viewer");
        tools.push_back({arguments, TypeCode(typeCode("CHT0") + TypeCode(i)), nullptr});
    }
    return tools;
}

// A program of its own on the driver's thread: sends requests from its own
// port and waits for each reply.
class Requester {
  public:
    Requester(int managerPort, const char* name) : transport(std::make_unique<TCPTransport>(0)) {
        copyText(own.name, sizeof own.name, name);
        own.toolType = typeCode("DRVR");
        own.port = transport->getPort();
        destination.port = managerPort;
    }
    // Sends `message` (taken) and returns the reply, or null after 10 s.
    std::unique_ptr<Message> ask(Message* message) {
        std::unique_ptr<Message> request(message);
        request->sender = own;
        request->destination = destination;
        request->wantsReply = 1;
        if (!transport->sendMessage(*request).ok()) return nullptr;
        uint32_t deadline = currentMilliseconds() + 10000;
        while (int32_t(deadline - currentMilliseconds()) > 0) {
            std::unique_ptr<Message> incoming(transport->poll().valueOr(nullptr));
            if (incoming && incoming->type == kReplyMessage) return incoming;
        }
        return nullptr;
    }

  private:
    std::unique_ptr<TCPTransport> transport;
    ToolInfo own;
    ToolInfo destination;
};

// The answer times of one kind of request, in milliseconds.
struct Latencies {
    const char* kind;
    std::vector<double> samples;
    int unanswered = 0;

    void print() {
        if (samples.empty()) {
            std::printf("  %-28s no answers (%d unanswered)\n", kind, unanswered);
            return;
        }
        std::sort(samples.begin(), samples.end());
        std::printf(
            "  %-28s %6zu answers  p50 %7.2f ms  p99 %7.2f ms  worst %7.1f ms  (%d unanswered)\n",
            kind, samples.size(), samples[samples.size() / 2], samples[samples.size() * 99 / 100],
            samples.back(), unanswered);
    }
};

enum RequestKind { kLook, kDisplay, kAdd, kRemove, kRequestKinds };

// The driver's file number `n`: its extension names the tool that knows it.
std::filesystem::path driverFile(const std::filesystem::path& files, long n) {
    return files / ("added" + std::to_string(n) + ".c" + std::to_string(n % kTools));
}

// The driver: requests the Tool Manager answers ('LOOK', 'REMF'), a request
// it relays to the viewer ('DISF'), and file additions ('ADDF'), in turn.
void drive(int managerPort, const std::filesystem::path& files, long projectFiles,
           std::atomic<bool>& running, std::vector<Latencies>& kinds) {
    Requester requester(managerPort, "chaos driver");
    long added = 0;
    for (long n = 0; running; ++n) {
        int kind = int(n % kRequestKinds);
        if (kind == kRemove && added <= projectFiles) continue;
        std::vector<Message*> requests;
        if (kind == kLook) {
            requests.push_back(newRequest("LOOK", typeCode("CHT1")));
        } else if (kind == kDisplay) {
            requests.push_back(newDisplayRequest((files / "shown.c0").string(), typeCode("CHT0")));
        } else if (kind == kAdd) {
            writeFile(driverFile(files, added), "chaos\n");
            requests.push_back(newRequest("ADDF", {driverFile(files, added++).string()}));
        } else {
            // Filed under its tool's type when that tool identified it, else
            // as text: one of the two removals finds it.
            long old = added - projectFiles - 1;
            std::string path = driverFile(files, old).string();
            requests.push_back(
                newRequest("REMF", TypeCode(typeCode("CHT0") + TypeCode(old % kTools)), {path}));
            requests.push_back(newRequest("REMF", typeCode("TEXT"), {path}));
        }
        auto start = Clock::now();
        bool answered = true;
        for (Message* request : requests) answered = requester.ask(request) != nullptr && answered;
        if (answered) {
            kinds[kind].samples.push_back(millisecondsSince(start) / double(requests.size()));
        } else {
            ++kinds[kind].unanswered;
        }
        std::this_thread::sleep_for(kRequestInterval);
    }
}

// Registrations the Tool Manager announced ('NOTE' 'TADD' or 'TREG'), by type.
std::vector<TypeCode> registrationsSeen;

int32_t noticeMsg(Message* message, Message*) {
    TypeCode event = message->getTypeParam(0);
    if ((event == typeCode("TADD") || event == typeCode("TREG")) &&
        message->getParamLength(1) == kToolInfoSize) {
        registrationsSeen.push_back(decodeToolInfo(message->getParam(1)).toolType);
    }
    return 0;
}

// Waits until the Tool Manager announces a registration of `type`, or the
// process ends first (refused) or the limit passes.
enum class Restart { registered, refused, lost };
Restart awaitRegistration(KelvaneHarness& hub, ChildProcess& process, TypeCode type) {
    registrationsSeen.clear();
    bool seen = hub.waitUntil(
        [&] {
            return std::find(registrationsSeen.begin(), registrationsSeen.end(), type) !=
                       registrationsSeen.end() ||
                   process.waitForExit(0) != -1000;
        },
        int(kRegistrationLimitMs));
    if (std::find(registrationsSeen.begin(), registrationsSeen.end(), type) !=
        registrationsSeen.end()) {
        return Restart::registered;
    }
    return seen ? Restart::refused : Restart::lost;
}

// okasample processes that run in `home` (their HOME).
int toolProcessesOf(const std::filesystem::path& home) {
    int count = 0;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", ignored)) {
        std::ifstream command(entry.path() / "cmdline");
        std::string line;
        if (!std::getline(command, line) || line.find("okasample") == std::string::npos) continue;
        std::ifstream environment(entry.path() / "environ");
        std::string variables((std::istreambuf_iterator<char>(environment)),
                              std::istreambuf_iterator<char>());
        if (variables.find("HOME=" + home.string() + '\0') != std::string::npos) ++count;
    }
    return count;
}
}  // namespace

int main(int argc, char** argv) {
    int seconds = argc > 1 ? std::atoi(argv[1]) : benchCount(60, 3);
    long projectFiles = argc > 2 ? std::atol(argv[2]) : 50;
    KelvaneHarness hub;
    if (!hub.start()) {
        std::fprintf(stderr, "chaos_bench: kelvane did not start\n");
        return 1;
    }
    hub.tool->registerMessageHandler(kNoticeMsg, noticeMsg);
    hub.ask(new Message(kSubscribeNoticesMsg.code, nullptr));

    std::vector<ChaosTool> tools = describeTools();
    for (ChaosTool& tool : tools) {
        tool.process = std::make_unique<ChildProcess>(builtProgram("okasample"), tool.arguments,
                                                      hub.environment());
        if (awaitRegistration(hub, *tool.process, tool.type) != Restart::registered) {
            std::fprintf(stderr, "chaos_bench: a tool did not register\n");
            return 1;
        }
    }
    std::filesystem::path files = hub.home.path() / "files";
    writeFile(files / "shown.c0", "shown\n");

    std::vector<Latencies> kinds = {{"LOOK (answered by kelvane)", {}},
                                    {"DISF (relayed to a tool)", {}},
                                    {"ADDF (identified by tools)", {}},
                                    {"REMF (answered by kelvane)", {}}};
    std::atomic<bool> running{true};
    std::thread driver(drive, hub.port, files, projectFiles, std::ref(running), std::ref(kinds));

    std::mt19937 random(12345);
    std::vector<double> registrationMs;
    int restarts = 0, refused = 0, lost = 0;
    auto end = Clock::now() + std::chrono::seconds(seconds);
    while (Clock::now() < end) {
        auto next = Clock::now() + kKillInterval;
        ChaosTool& victim = tools[random() % kTools];
        victim.process->signal(SIGKILL);
        victim.process->waitForExit(2000);
        auto start = Clock::now();
        victim.process = std::make_unique<ChildProcess>(builtProgram("okasample"), victim.arguments,
                                                        hub.environment());
        ++restarts;
        switch (awaitRegistration(hub, *victim.process, victim.type)) {
            case Restart::registered:
                registrationMs.push_back(millisecondsSince(start));
                break;
            case Restart::refused:
                ++refused;
                victim.process = std::make_unique<ChildProcess>(
                    builtProgram("okasample"), victim.arguments, hub.environment());
                awaitRegistration(hub, *victim.process, victim.type);
                break;
            case Restart::lost:
                ++lost;
                break;
        }
        hub.waitUntil([&] { return Clock::now() >= next; }, int(kKillInterval.count()));
    }
    running = false;
    driver.join();
    int runningTools = toolProcessesOf(hub.home.path());

    std::printf(
        "chaos for %d s, %ld project files: a tool killed with -9 and started again "
        "every %lld ms\n",
        seconds, projectFiles, static_cast<long long>(kKillInterval.count()));
    std::printf("answers of the Tool Manager meanwhile:\n");
    std::vector<double> all;
    int unanswered = 0;
    for (Latencies& kind : kinds) {
        kind.print();
        all.insert(all.end(), kind.samples.begin(), kind.samples.end());
        unanswered += kind.unanswered;
    }
    Latencies overall{"all requests", all, unanswered};
    overall.print();
    std::sort(registrationMs.begin(), registrationMs.end());
    if (!registrationMs.empty()) {
        std::printf(
            "restart to registration: %zu restarts, p50 %.1f ms, p99 %.1f ms, worst %.1f ms\n",
            registrationMs.size(), registrationMs[registrationMs.size() / 2],
            registrationMs[registrationMs.size() * 99 / 100], registrationMs.back());
    }
    std::printf("restarts refused: %d of %d (not registered within %u ms: %d)\n", refused, restarts,
                kRegistrationLimitMs, lost);

    // Stopped in order, kelvane tells the tools to quit.
    hub.stop();
    pollUntil([&] { return toolProcessesOf(hub.home.path()) == 0; }, 5000);
    int leftAfterStop = toolProcessesOf(hub.home.path());
    std::printf(
        "tool processes: %d running during the chaos (4 expected), %d left after kelvane stopped\n",
        runningTools, leftAfterStop);
    for (ChaosTool& tool : tools) tool.process.reset();
    return 0;
}
