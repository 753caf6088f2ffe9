// The X11 backend under a private Xvfb server, with real input from xdotool;
// skipped when either is not installed.
#include <gtest/gtest.h>

#include <string>

#include "BundledLibraries.h"
#include "XvfbServer.h"
#include "toolkit/Toolkit.h"
#include "toolkit/automation/Automation.h"

namespace {

// Runs the window-system loop until `done` holds or `limit` milliseconds pass.
template <class Condition>
bool pumpUntil(Condition done, uint32_t limit = 2000) {
    uint32_t start = TIME_GetCurMillisecs();
    while (!done() && TIME_GetCurMillisecs() - start < limit) EVENT_Wait(20);
    return done();
}

class X11Backend : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (!isProgramInstalled("Xvfb")) return;
        server_ = new XvfbServer;
        if (!server_->start()) return;
        char program[] = "toolkit_x11_tests";
        char* argv[] = {program, nullptr};
        startToolkit(1, argv);
        running_ = EVENT_GetConnectionDescriptor() >= 0;
        loadBundledLibraries();
    }
    static void TearDownTestSuite() {
        if (running_) stopToolkit();
        delete server_;
        server_ = nullptr;
    }
    void SetUp() override {
        if (!running_) GTEST_SKIP() << "Xvfb is not installed or did not start";
        AUTO_Reset();
    }
    // Shows the window, at `box` if given, and gives the server time to map it.
    static WinObj* showWindow(const char* library, const char* name, Rect16* box = nullptr) {
        WinObj* window = WIN_Load(library, name);
        if (window == nullptr) return nullptr;
        if (box) WIN_Configure(window, box);
        WIN_Init(window);
        WIN_Show(window);
        pumpUntil([] { return false; }, 300);
        return window;
    }

    static inline XvfbServer* server_ = nullptr;  // the private X server
    static inline bool running_ = false;          // the X11 backend runs on it
};

TEST_F(X11Backend, EveryWindowOfBothLibrariesLoadsAndShows) {
    for (auto [library, name] : kBundledWindows) {
        WinObj* window = showWindow(library, name);
        ASSERT_NE(window, nullptr) << name;
        WIN_TerminateGetStatus(window);
    }
}

TEST_F(X11Backend, ResizingByTheWindowSystemLaysTheChildrenOutByTheirFlags) {
    if (!isProgramInstalled("xdotool")) GTEST_SKIP() << "xdotool is not installed";
    // Shown at a remembered size larger than the resource's 724 x 476.
    Rect16 remembered = makeRect16(40, 40, 1000, 700);
    WinObj* window = showWindow("kelvane", "workspace", &remembered);
    ASSERT_NE(window, nullptr);
    std::string id = windowIdOf("^OKA Tool Manager$");
    ASSERT_FALSE(id.empty());
    // Window managers know it by the program's name, not by the toolkit's.
    EXPECT_EQ(firstLine("xprop -id " + id + " WM_CLASS"),
              "WM_CLASS(STRING) = \"toolkit_x11_tests\", \"toolkit_x11_tests\"");
    // Smaller than remembered is allowed down to the resource's size.
    ASSERT_TRUE(xdotool("windowsize " + id + " 800 525"));
    EXPECT_TRUE(pumpUntil([window] { return window->box.width == 800; }));
    // 376 x 324 more than the resource's size, below the 25-pixel menu bar.
    ASSERT_TRUE(xdotool("windowsize " + id + " 1100 825"));
    EXPECT_TRUE(pumpUntil([window] { return window->box.width == 1100; }));
    EXPECT_EQ(window->box.height, 800);
    // The layout by flags itself is the headless tests' business.
    EXPECT_EQ(RES_GetNthChild(window, 11)->box, makeRect16(166, 84, 550 + 376, 356 + 324));
    WIN_TerminateGetStatus(window);
}

TEST_F(X11Backend, EscapeReturnAndTabActInARealDialog) {
    if (!isProgramInstalled("xdotool")) GTEST_SKIP() << "xdotool is not installed";
    WinObj* window = showWindow("kelvane", "connectWindow");
    ASSERT_NE(window, nullptr);
    auto count = [](int* counter) {
        return [counter](WgtObj* button, int code) {
            if (code == kNfyActivated) ++*counter;
            TBUT_DefNfy(static_cast<TButObj*>(button), code);
        };
    };
    int cancels = 0, confirms = 0;
    RES_GetNthChild(window, 2)->procedure = count(&confirms);
    RES_GetNthChild(window, 3)->procedure = count(&cancels);
    // A click in the middle of the machine field (the window has no menu bar).
    WgtObj* machine = RES_GetNthChild(window, 0);
    int x = 0, y = 0;
    machine->windowOrigin(&x, &y);
    ASSERT_TRUE(xdotool("mousemove " + std::to_string(window->box.x + x + machine->box.width / 2) +
                        " " + std::to_string(window->box.y + y + machine->box.height / 2) +
                        " click 1"));
    EXPECT_TRUE(pumpUntil([window, machine] { return window->focus == machine; }));

    // Tab to the port and on to Cancel, back twice to the machine field.
    for (auto [keys, child] : {std::pair{"Tab", 1}, {"Tab", 3}, {"shift+Tab shift+Tab", 0}}) {
        ASSERT_TRUE(xdotool(std::string("key ") + keys));
        WgtObj* focused = RES_GetNthChild(window, child);
        EXPECT_TRUE(pumpUntil([window, focused] { return window->focus == focused; })) << keys;
    }
    ASSERT_TRUE(xdotool("key Return"));
    EXPECT_TRUE(pumpUntil([&confirms] { return confirms == 1; })) << "Return in the machine field";
    ASSERT_TRUE(xdotool("key Escape"));
    EXPECT_TRUE(pumpUntil([&cancels] { return cancels == 1; })) << "Escape";
    EXPECT_EQ(confirms, 1);
    WIN_TerminateGetStatus(window);
}

}  // namespace
