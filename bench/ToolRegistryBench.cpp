// Figures for the tool registry: 'SCHG' relayed by the Tool Manager to 1, 4
// and 16 registered tools, end to end over TCP (a tool sends it, the Tool
// Manager receives and relays it, every tool reads its copy), and one
// tickle pass over 16 loaded tools.
//
// Everything runs in one process: the sending tool on a thread of its own,
// the Tool Manager and the receiving tools on the main thread, each step
// waiting for the previous one, so the figures are the latency-bound rate of
// one message at a time, not the throughput of concurrent senders.
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

#include "BenchScale.h"
#include "TestSupport.h"
#include "ToolManagerHarness.h"
#include "core/Log.h"
#include "core/Utilities.h"
#include "messaging/MessageCenter.h"
#include "tools/ToolRegistry.h"

namespace {
using Clock = std::chrono::steady_clock;
const int kRelayedMessages = benchCount(500, 5);
const int kTicklePasses = benchCount(50, 2);

uint32_t& benchClock = ToolManagerHarness::clockNow;  // the registry's probe clock

struct BenchTool {
    explicit BenchTool(int index) : transport(std::make_unique<TCPTransport>(0)) {
        formatPath(name, sizeof name, "bench tool %d", index);
        copyText(info.name, sizeof info.name, name);
        info.toolType = TypeCode(typeCode("BT00") + TypeCode(index));
        info.port = transport->getPort();
    }
    char name[kPathSize];
    ToolInfo info;
    std::unique_ptr<TCPTransport> transport;
};

double seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::vector<std::unique_ptr<BenchTool>> registerTools(int count) {
    std::vector<std::unique_ptr<BenchTool>> tools;
    for (int i = 0; i < count; ++i) {
        tools.push_back(std::make_unique<BenchTool>(i));
        (void)gToolRegistry->registerTool(&tools.back()->info, "/bench/tool");
    }
    return tools;
}

void benchRelay(int toolCount) {
    auto tools = registerTools(toolCount);
    Message change(typeCode("SCHG"), &gKelvaneToolInfo);
    change.addTextParam("/projects/agents/stock.qa");
    change.sender = tools[0]->info;

    Clock::time_point start = Clock::now();
    // A tool's send lasts until the receiver has read the message, so the
    // sending tool needs a thread of its own while this one runs the Tool
    // Manager and the receiving tools.
    std::thread sendingTool([&change] {
        TCPTransport sender(0);
        for (int i = 0; i < kRelayedMessages; ++i) (void)sender.sendMessage(change);
    });
    int delivered = 0;
    for (int i = 0; i < kRelayedMessages; ++i) {
        Message* incoming = nullptr;
        while (incoming == nullptr)
            incoming = gMessageCenter->getTransport().poll().valueOr(nullptr);
        gMessageCenter->dispatchMessage(incoming);
        for (auto& tool : tools) {
            std::unique_ptr<Message> copy(tool->transport->poll().valueOr(nullptr));
            if (copy) ++delivered;
        }
    }
    sendingTool.join();
    double elapsed = seconds(start);
    std::printf(
        "SCHG relayed to %2d tools: %7.0f messages/s (%6.0f copies/s, %d of %d copies read)\n",
        toolCount, kRelayedMessages / elapsed, delivered / elapsed, delivered,
        kRelayedMessages * toolCount);
    for (auto& tool : tools) (void)gToolRegistry->unregisterTool(tool->info.toolType);
}

void benchTicklePass() {
    auto tools = registerTools(16);
    double total = 0;
    for (int pass = 0; pass < kTicklePasses; ++pass) {
        benchClock += 30000;
        Clock::time_point start = Clock::now();
        gToolRegistry->tickleAllTools();
        total += seconds(start);
        // Read the tickles, so the listeners' queues stay short.
        for (auto& tool : tools) delete tool->transport->poll().valueOr(nullptr);
    }
    long loaded = 0;
    for (auto& tool : tools) loaded += gToolRegistry->toolIsLoaded(tool->info.toolType);
    std::printf("tickle pass over 16 tools: %.3f ms per pass (%ld of 16 still loaded)\n",
                total / kTicklePasses * 1000, loaded);
}
}  // namespace

int main() {
    ToolManagerHarness manager;
    gOKALogStream = nullptr;  // the figures leave out writing the log
    for (int count : {1, 4, 16}) benchRelay(count);
    benchTicklePass();
    return 0;
}
