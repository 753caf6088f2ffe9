// Figures for the hub: request/reply round trips to a running kelvane (with
// its check of the peer's user, without it, and with one watcher attached)
// compared with bare sockets of the plain connect-write-close shape, one-way
// throughput from concurrent senders, and kelvane's cost while idle.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>
#include <vector>

#include "BenchScale.h"
#include "KelvaneHarness.h"
#include "RawPeer.h"
#include "TestSupport.h"
#include "core/ByteOrder.h"
#include "messaging/MessageCenter.h"
#include "messaging/WatchReader.h"
#include "messaging/WireFormat.h"

namespace {

using Clock = std::chrono::steady_clock;
const int kRoundTrips = benchCount(5000, 20);
const int kOneWayPerSender = benchCount(2000, 20);
const int kIdleSeconds = benchCount(30, 1);

KelvaneHarness* hub = nullptr;      // kelvane as installed: other users refused
KelvaneHarness* openHub = nullptr;  // kelvane with OKA_ALLOW_OTHER_USERS=1

// The round trips measured, by benchmark argument.
enum RoundTripCase { kWithUserCheck, kWithoutUserCheck, kWithOneWatcher, kRoundTripCases };
const char* const kRoundTripCaseNames[] = {"with the user check", "without the user check",
                                           "with one watcher attached"};
double roundTripMedianUs[kRoundTripCases] = {};
double bareMedianUs = 0;

// Sorts `micros`, reports its percentiles and returns the median.
double reportLatencies(benchmark::State& state, std::vector<double>& micros, double seconds) {
    std::sort(micros.begin(), micros.end());
    state.counters["p50_us"] = micros[micros.size() / 2];
    state.counters["p99_us"] = micros[micros.size() * 99 / 100];
    state.counters["req_per_s"] = double(micros.size()) / seconds;
    return micros[micros.size() / 2];
}

// A watcher of all of kelvane's traffic, reading its stream on a thread of
// its own for as long as it lives.
class BackgroundWatcher {
  public:
    explicit BackgroundWatcher(int port) {
        reader = std::make_unique<WatchReader>(center);
        if (reader->start(port, kWildcardType, 3000) != 0) return;
        thread = std::thread([this] {
            while (running && !reader->isClosed()) reader->next(100);
        });
    }
    ~BackgroundWatcher() {
        running = false;
        if (thread.joinable()) thread.join();
    }
    bool isWatching() const { return thread.joinable(); }

  private:
    MessageCenter center;
    std::unique_ptr<WatchReader> reader;
    std::atomic<bool> running{true};
    std::thread thread;
};

// A tool-side message center asks kelvane 'SHOW' and waits for the 'RPLY'.
void BM_KelvaneRoundTrip(benchmark::State& state) {
    auto roundTripCase = RoundTripCase(state.range(0));
    KelvaneHarness& target = roundTripCase == kWithoutUserCheck ? *openHub : *hub;
    std::unique_ptr<BackgroundWatcher> watcher;
    if (roundTripCase == kWithOneWatcher) {
        watcher = std::make_unique<BackgroundWatcher>(target.port);
        if (!watcher->isWatching()) state.SkipWithError("the watcher was refused");
    }
    state.SetLabel(kRoundTripCaseNames[roundTripCase]);
    MessageCenter& tool = *target.tool;
    std::vector<double> micros;
    auto start = Clock::now();
    for (auto _ : state) {
        auto* request = new Message(typeCode("SHOW"), nullptr);
        request->destination.port = target.port;
        request->wantsReply = 1;
        auto before = Clock::now();
        std::unique_ptr<Message> reply(tool.sendMessage(request));
        micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - before).count());
        if (!reply) state.SkipWithError("no reply");
    }
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    roundTripMedianUs[roundTripCase] = reportLatencies(state, micros, seconds);
}

// The same exchange with bare sockets: a server thread reads a 444-byte
// request and answers with a 448-byte reply on a new connection.
void BM_BareSocketRoundTrip(benchmark::State& state) {
    RawListener server, client;
    std::atomic<bool> running{true};
    std::thread responder([&] {
        const std::string reply(kWireHeaderSize + 4, '\0');
        while (running) {
            std::string request = server.receiveOne(100);
            if (request.size() < size_t(kWireHeaderSize)) continue;
            sendRawBytesAndLeave(
                int(getBigEndian32(reinterpret_cast<const uint8_t*>(request.data()) + 344)), reply);
        }
    });
    std::string request(kWireHeaderSize, '\0');
    putBigEndian32(reinterpret_cast<uint8_t*>(request.data()) + 344, uint32_t(client.port()));
    std::vector<double> micros;
    auto start = Clock::now();
    for (auto _ : state) {
        auto before = Clock::now();
        sendRawBytesAndLeave(server.port(), request);
        client.receiveOne();
        micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - before).count());
    }
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    bareMedianUs = reportLatencies(state, micros, seconds);
    running = false;
    responder.join();
}

// Senders fire 'SHOW' without waiting; a last request with a reply shows
// when kelvane has handled everything before it (messages are handled in
// arrival order).
void BM_OneWayThroughput(benchmark::State& state) {
    int senders = int(state.range(0));
    const std::string show = wireBytes(Message(typeCode("SHOW"), nullptr));
    MessageCenter& tool = *hub->tool;
    for (auto _ : state) {
        auto start = Clock::now();
        std::vector<std::thread> threads;
        for (int s = 0; s < senders; ++s) {
            threads.emplace_back([&] {
                for (int i = 0; i < kOneWayPerSender; ++i) sendRawBytesAndWait(hub->port, show);
            });
        }
        for (auto& thread : threads) thread.join();
        auto* last = new Message(typeCode("SHOW"), nullptr);
        last->destination.port = hub->port;
        last->wantsReply = 1;
        last->replyTimeout = 60000;
        std::unique_ptr<Message> reply(tool.sendMessage(last));
        double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(seconds);
        state.counters["msgs_per_s"] = double(senders * kOneWayPerSender + 1) / seconds;
    }
}

struct ProcessTimes {
    double cpuSeconds;
    long contextSwitches;
};

ProcessTimes readProcessTimes(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string content((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    std::istringstream fields(content.substr(content.rfind(')') + 2));
    std::string field;
    long user = 0, system = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14) user = std::stol(field);
        if (i == 15) system = std::stol(field);
    }
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    long switches = 0;
    while (std::getline(status, line)) {
        if (line.rfind("voluntary_ctxt_switches:", 0) == 0 ||
            line.rfind("nonvoluntary_ctxt_switches:", 0) == 0) {
            switches += std::stol(line.substr(line.find(':') + 1));
        }
    }
    return {double(user + system) / double(sysconf(_SC_CLK_TCK)), switches};
}

// kelvane left alone: CPU time and wake-ups (context switches) per second.
void BM_Idle(benchmark::State& state) {
    for (auto _ : state) {
        ProcessTimes before = readProcessTimes(hub->kelvane->pid());
        std::this_thread::sleep_for(std::chrono::seconds(kIdleSeconds));
        ProcessTimes after = readProcessTimes(hub->kelvane->pid());
        state.SetIterationTime(kIdleSeconds);
        state.counters["wakeups_per_s"] =
            double(after.contextSwitches - before.contextSwitches) / kIdleSeconds;
        state.counters["cpu_percent_of_core"] =
            100.0 * (after.cpuSeconds - before.cpuSeconds) / kIdleSeconds;
    }
}

BENCHMARK(BM_KelvaneRoundTrip)
    ->Arg(kWithUserCheck)
    ->Arg(kWithoutUserCheck)
    ->Arg(kWithOneWatcher)
    ->Iterations(kRoundTrips)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BareSocketRoundTrip)->Iterations(kRoundTrips)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OneWayThroughput)
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Idle)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    KelvaneHarness started;
    hub = &started;
    KelvaneHarness open(started.home.path() / "open", started.root);
    openHub = &open;
    if (!hub->start() || !openHub->start({"OKA_ALLOW_OTHER_USERS=1"})) {
        std::fprintf(stderr, "kelvane did not start\n");
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    if (bareMedianUs > 0) {
        std::printf("bare-socket floor: median %.1f us\n", bareMedianUs);
        for (int i = 0; i < kRoundTripCases; ++i) {
            if (roundTripMedianUs[i] == 0) continue;
            std::printf("round trip %s: median %.1f us, %.2f times the floor\n",
                        kRoundTripCaseNames[i], roundTripMedianUs[i],
                        roundTripMedianUs[i] / bareMedianUs);
        }
    }
    open.stop();
    hub->stop();
    benchmark::Shutdown();
    return 0;
}
