// Key latency of the Tool Manager's main loop: the time from a key press on
// the X server to the moment runMainLoop delivers its kNfyKeyDown to the
// workspace window's notification procedure.
//
// The main loop handles window-system events between waits for messages on
// the transport; a key that arrives during such a wait is handled only when
// the wait ends. These figures show how long keys wait, and the same program
// measures the loop again whenever what it waits on changes.
//
// Everything runs against a private Xvfb, a temporary HOME and a throw-away
// installation, with the X11 backend and the real start-up, main loop and
// shut-down of kelvane. One long-lived `xdotool -` reads its commands from a
// pipe, so its start-up is not part of the figures. A sender thread focuses
// the workspace window, presses keys until one arrives, then for each
// measured key waits until the previous one arrived, pauses a random 20 to
// 120 ms (so presses fall at every point of the loop's cycle), notes the
// time and writes the key. The notification procedure notes the arrival
// time. The figures include xdotool's and the X server's share, the same
// before and after a change to the loop.
#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "ChildProcess.h"
#include "TestSupport.h"
#include "XvfbServer.h"
#include "core/Globals.h"
#include "kelvane/ToolManagerApp.h"
#include "kelvane/WorkspaceWindow.h"
#include "toolkit/Toolkit.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int kMeasuredKeys = 50;
constexpr int kWarmUpKeys = 50;   // presses tried while the window gets the focus
constexpr int kPressedKey = 'a';  // no widget of the workspace consumes it
constexpr const char* kKeyCommand = "key a";
constexpr auto kKeyArrivalLimit = 2s;     // a key not seen by then was lost
constexpr int kOverallTimeoutMs = 30000;  // ends the main loop when keys stop arriving

// The key notifications seen by the workspace window. The main loop's
// thread writes them; the sender reads the count to pace its keys.
struct KeyArrivals {
    std::array<Clock::time_point, kWarmUpKeys + kMeasuredKeys> times;  // arrival of each key
    std::atomic<int> count{0};                                         // keys seen so far
    std::atomic<int> finishAt{-1};  // the count that ends the main loop, once the sender knows it
    std::atomic<bool> stop{false};  // the main loop has ended: the sender gives up
};
KeyArrivals gArrivals;

// Called by the notification procedure, in the main loop's thread.
void noteKeyArrival() {
    int index = gArrivals.count.load();
    if (index == int(gArrivals.times.size())) return;
    gArrivals.times[index] = Clock::now();
    gArrivals.count.store(index + 1);
    if (index + 1 == gArrivals.finishAt.load()) gFinished = 1;
}

// Puts the benchmark's procedure in front of the workspace window's own,
// which gets every code after it.
void watchKeys(WinObj* window) {
    auto workspaceProcedure = window->procedure;
    window->procedure = [workspaceProcedure](WgtObj* target, int code) {
        if (code == kNfyKeyDown && EVENT_GetKeyCode() == kPressedKey) noteKeyArrival();
        if (code == kNfyAlarm) gFinished = 1;  // the overall timeout started below
        workspaceProcedure(target, code);
    };
    EVENT_StartWgtAlarm(window, 0, kOverallTimeoutMs);
}

// Waits until `count` keys have arrived; false after `limit` or once the main loop ended.
bool waitForKeys(int count, Clock::duration limit) {
    Clock::time_point deadline = Clock::now() + limit;
    while (gArrivals.count.load() < count) {
        if (gArrivals.stop.load() || Clock::now() > deadline) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

void sendCommand(FILE* xdotool, const std::string& command) {
    std::fputs((command + "\n").c_str(), xdotool);
    std::fflush(xdotool);
}

// Gives the window the keyboard focus and presses keys until one arrives.
bool focusWindow(FILE* xdotool, const std::string& title) {
    // xdotool's script reader splits words like a shell, so the quoted title stays one.
    sendCommand(xdotool, "search --sync --onlyvisible --name '^" + title + "$' windowfocus --sync");
    for (int attempt = 0; attempt < kWarmUpKeys; ++attempt) {
        sendCommand(xdotool, kKeyCommand);
        if (waitForKeys(1, 200ms)) return true;
    }
    return false;
}

// What the sender did: where its first measured key falls among the
// arrivals, and when each measured key was sent (fewer than kMeasuredKeys
// when one was lost).
struct SentKeys {
    int firstArrival = 0;
    std::vector<Clock::time_point> times;
};

// The sender thread's work.
SentKeys sendKeys(FILE* xdotool, const std::string& title) {
    SentKeys sent;
    if (!focusWindow(xdotool, title)) {
        std::fprintf(stderr, "key_latency_bench: no key reached the workspace window\n");
        return sent;
    }
    std::this_thread::sleep_for(300ms);  // the last warm-up presses arrive
    sent.firstArrival = gArrivals.count.load();
    gArrivals.finishAt.store(sent.firstArrival + kMeasuredKeys);
    std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<int> pauseMs(20, 120);
    for (int key = 0; key < kMeasuredKeys; ++key) {
        std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs(random)));
        sent.times.push_back(Clock::now());
        sendCommand(xdotool, kKeyCommand);
        if (!waitForKeys(sent.firstArrival + key + 1, kKeyArrivalLimit)) {
            std::fprintf(stderr, "key_latency_bench: key %d did not arrive\n", key + 1);
            sent.times.pop_back();
            break;
        }
    }
    return sent;
}

// Minimum, median, 90th percentile, maximum and mean; false when keys were lost.
bool printFigures(const SentKeys& sent) {
    std::vector<double> latencyMs;
    for (size_t key = 0; key < sent.times.size(); ++key) {
        Clock::duration latency = gArrivals.times[sent.firstArrival + key] - sent.times[key];
        latencyMs.push_back(std::chrono::duration<double, std::milli>(latency).count());
    }
    std::printf("keys delivered: %zu of %d\n", latencyMs.size(), kMeasuredKeys);
    if (latencyMs.size() != size_t(kMeasuredKeys)) return false;
    std::sort(latencyMs.begin(), latencyMs.end());
    double sum = 0;
    for (double latency : latencyMs) sum += latency;
    std::printf("key press to kNfyKeyDown in runMainLoop, %d presses:\n", kMeasuredKeys);
    std::printf("  min    %7.2f ms\n", latencyMs.front());
    std::printf("  median %7.2f ms\n",
                (latencyMs[kMeasuredKeys / 2 - 1] + latencyMs[kMeasuredKeys / 2]) / 2);
    std::printf("  p90    %7.2f ms\n", latencyMs[(kMeasuredKeys * 9 + 9) / 10 - 1]);
    std::printf("  max    %7.2f ms\n", latencyMs.back());
    std::printf("  mean   %7.2f ms\n", sum / kMeasuredKeys);
    return true;
}

// Runs kelvane's main loop while the sender presses keys; false when not
// every key arrived.
bool measure(ToolManagerApp& application, FILE* xdotool) {
    if (gWorkspaceWindow == nullptr) {
        std::fprintf(stderr, "key_latency_bench: the workspace window did not open\n");
        return false;
    }
    watchKeys(gWorkspaceWindow);
    SentKeys sent;
    std::thread sender([&sent, xdotool, title = std::string(WIN_GetLabel(gWorkspaceWindow))] {
        sent = sendKeys(xdotool, title);
    });
    application.runMainLoop();
    gArrivals.stop.store(true);
    sender.join();
    return printFigures(sent);
}

}  // namespace

int main(int argc, char** argv) {
    if (!isProgramInstalled("Xvfb") || !isProgramInstalled("xdotool")) {
        std::printf("key_latency_bench: skipped, Xvfb and xdotool are needed\n");
        return 0;
    }
    XvfbServer server;
    if (!server.start()) {
        std::fprintf(stderr, "key_latency_bench: Xvfb did not start\n");
        return 1;
    }
    // Started before the Tool Manager opens its sockets, so xdotool inherits none.
    FILE* xdotool = popen("xdotool - > /dev/null", "w");
    if (xdotool == nullptr) return 1;
    std::signal(SIGPIPE, SIG_IGN);  // a failing xdotool shows as lost keys
    TempHome home;
    setenv("OKA", makeInstallation(home.path()).c_str(), 1);
    // The project manager makes its untitled project in the working directory.
    std::filesystem::current_path(home.path());

    startToolkit(argc, argv);
    bool measured = false;
    {
        ToolManagerApp application;
        if (application.initializeApplication() == 0) {
            createWorkspaceWindow();
            measured = measure(application, xdotool);
            application.shutDownApplication();
        }
    }
    stopToolkit();
    pclose(xdotool);
    return measured ? 0 : 1;
}
