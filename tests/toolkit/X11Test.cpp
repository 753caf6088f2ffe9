// The X11 backend under a private Xvfb server: every window of both
// libraries shows, and real pointer and key input made with xdotool
// reaches the application as notifications. Skipped when Xvfb (or, for the
// input tests, xdotool) is not installed.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BundledLibraries.h"
#include "XvfbServer.h"
#include "toolkit/automation/Automation.h"
#include "toolkit/Toolkit.h"

namespace {

// Runs the window-system loop until `done` holds or `limit` milliseconds pass.
template <class Condition>
bool pumpUntil(Condition done, uint32_t limit = 2000) {
    uint32_t start = TIME_GetCurMillisecs();
    while (!done() && TIME_GetCurMillisecs() - start < limit) EVENT_Wait(20);
    return done();
}

// Runs a shell command through xdotool.
void xdotool(const std::string& arguments) {
    std::string command = "xdotool " + arguments;
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
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
        if (running_) {
            stopToolkit();
        }
        delete server_;
        server_ = nullptr;
    }
    void SetUp() override {
        if (!running_) GTEST_SKIP() << "Xvfb is not installed or did not start";
        AUTO_Reset();
    }
    // Shows the window and gives the server time to map it.
    static WinObj* showWindow(const char* library, const char* name) {
        WinObj* window = WIN_Load(library, name);
        if (window == nullptr) return nullptr;
        WIN_Init(window);
        WIN_Show(window);
        pumpUntil([] { return false; }, 300);
        return window;
    }

    static XvfbServer* server_;  // the private X server
    static bool running_;        // the X11 backend runs on it
};
XvfbServer* X11Backend::server_ = nullptr;
bool X11Backend::running_ = false;

TEST_F(X11Backend, EveryWindowOfBothLibrariesLoadsAndShows) {
    for (auto [library, name] : kBundledWindows) {
        WinObj* window = WIN_Load(library, name);
        ASSERT_NE(window, nullptr) << name;
        WIN_Init(window);
        WIN_Show(window);
        EVENT_ProcessPending();
        WIN_TerminateGetStatus(window);
    }
    EVENT_ProcessPending();
}

int gActivations = 0;                // notifications 150 seen by countingButtonNfy
std::vector<int> gLabelButtons;      // buttons of the 104 notifications seen by labelNfy
std::vector<int> gWindowKeys;        // key codes of the 107 notifications seen by keyNfy

void countingButtonNfy(TButObj* button, int code) {
    if (code == kNfyActivated) ++gActivations;
    TBUT_DefNfy(button, code);
}

void labelNfy(TAreaObj* label, int code) {
    if (code == kNfyMouseDown) gLabelButtons.push_back(EVENT_GetButton());
    TAREA_DefNfy(label, code);
}

void keyNfy(WinObj* window, int code) {
    if (code == kNfyKeyDown) gWindowKeys.push_back(EVENT_GetKeyCode());
    WIN_DefNfy(window, code);
}

// The screen position of a point inside a widget of a window without menu bar.
std::string screenPoint(WinObj* window, WgtObj* widget) {
    int x = 0, y = 0;
    widget->windowOrigin(&x, &y);
    return std::to_string(window->box.x + x + widget->box.width / 2) + " " +
           std::to_string(window->box.y + y + widget->box.height / 2);
}

TEST_F(X11Backend, RealClicksAndKeysBecomeNotifications) {
    if (!isProgramInstalled("xdotool")) GTEST_SKIP() << "xdotool is not installed";
    WinObj* window = showWindow("kelvane", "connectWindow");
    ASSERT_NE(window, nullptr);
    auto* cancel = static_cast<TButObj*>(RES_GetNthChild(window, 3));
    auto* label = static_cast<TAreaObj*>(RES_GetNthChild(window, 4));
    RES_SetNfyProcDS(cancel, countingButtonNfy, 0);
    RES_SetNfyProcDS(label, labelNfy, 0);
    RES_SetNfyProcDS(window, keyNfy, 0);
    gActivations = 0;
    gLabelButtons.clear();
    gWindowKeys.clear();

    xdotool("mousemove " + screenPoint(window, cancel) + " click 1");
    EXPECT_TRUE(pumpUntil([] { return gActivations == 1; })) << "no activation (150) from a real click";

    xdotool("mousemove " + screenPoint(window, label) + " click 3");
    EXPECT_TRUE(pumpUntil([] { return !gLabelButtons.empty(); })) << "no mouse down (104) from a right click";
    EXPECT_EQ(gLabelButtons, std::vector<int>{3});

    xdotool("key F1");
    EXPECT_TRUE(pumpUntil([] { return !gWindowKeys.empty(); })) << "no key down (107) from F1";
    ASSERT_FALSE(gWindowKeys.empty());
    EXPECT_EQ(gWindowKeys.front(), kKeyF1);
    WIN_TerminateGetStatus(window);
}

std::string gPopupChoice;  // label chosen in the pop-up opened by popupLabelNfy

void popupLabelNfy(TAreaObj* label, int code) {
    if (code == kNfyMouseDown && EVENT_GetButton() == 3) {
        MenuObj* menu = MENU_Create();
        MENU_AddItem(menu, "Load Tool", 1);
        MENU_AddSeparator(menu);
        MENU_AddItem(menu, "Tool Information...", 2);
        if (MENU_OpenProcess(menu, label)) gPopupChoice = MENU_ChosenGetLabel(menu);
        MENU_Terminate(menu);
        return;
    }
    TAREA_DefNfy(label, code);
}

TEST_F(X11Backend, PopUpMenuTracksTheUsersChoice) {
    if (!isProgramInstalled("xdotool")) GTEST_SKIP() << "xdotool is not installed";
    WinObj* window = showWindow("kelvane", "connectWindow");
    ASSERT_NE(window, nullptr);
    auto* label = static_cast<TAreaObj*>(RES_GetNthChild(window, 4));
    RES_SetNfyProcDS(label, popupLabelNfy, 0);
    gPopupChoice.clear();
    // The menu runs its own loop inside the notification: the keys that pick
    // the second item come from a helper started before the click, which
    // waits until the pop-up is on the screen.
    ASSERT_EQ(std::system(("(" + popUpKeysScript("Down Down Return") + ") > /dev/null 2>&1 &").c_str()), 0);
    xdotool("mousemove " + screenPoint(window, label) + " click 3");
    EXPECT_TRUE(pumpUntil([] { return !gPopupChoice.empty(); }, 25000));
    EXPECT_EQ(gPopupChoice, "Tool Information...");
    WIN_TerminateGetStatus(window);
}

TEST_F(X11Backend, ModalLoopRunsUntilTheButtonEndsIt) {
    if (!isProgramInstalled("xdotool")) GTEST_SKIP() << "xdotool is not installed";
    WinObj* window = showWindow("kelvane", "toolInfoWindow");
    ASSERT_NE(window, nullptr);
    auto okNfy = [](TButObj* button, int code) {
        if (code == kNfyActivated) WIN_ModalReturn(WGT_GetWin(button), 0);
        TBUT_DefNfy(button, code);
    };
    auto* ok = static_cast<TButObj*>(RES_GetNthChild(window, 4));
    RES_SetNfyProcDS(ok, +okNfy, 0);
    // The click is made from a one-shot alarm once the loop runs.
    std::string point = screenPoint(window, ok);
    RES_GetNthChild(window, 1)->procedure = [point](WgtObj* field, int code) {
        if (code == kNfyAlarm) (void)std::system(("xdotool mousemove " + point + " click 1").c_str());
        TED_DefNfy(static_cast<TEdObj*>(field), code);
    };
    EVENT_StartWgtAlarm(RES_GetNthChild(window, 1), 0, 200);
    EXPECT_EQ(WIN_ModalProcess(window), 0);
    EXPECT_EQ(AUTO_UnscriptedCount(), 0);
    WIN_TerminateGetStatus(window);
}

// The first line a shell command prints, without its end.
std::string firstLine(const std::string& command) {
    std::string line;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        if (std::fgets(buffer, sizeof buffer, pipe) != nullptr) line = buffer;
        pclose(pipe);
    }
    while (!line.empty() && line.back() == '\n') line.pop_back();
    return line;
}

// The X window id of the shown window titled `title`, or "".
std::string windowId(const std::string& title) {
    return firstLine("timeout 10 xdotool search --sync --onlyvisible --name '^" + title + "$' 2>/dev/null");
}

TEST_F(X11Backend, ResizingByTheWindowSystemLaysTheChildrenOutByTheirFlags) {
    if (!isProgramInstalled("xdotool")) GTEST_SKIP() << "xdotool is not installed";
    // Shown at a remembered size larger than the resource's 724 x 476.
    WinObj* window = WIN_Load("kelvane", "workspace");
    ASSERT_NE(window, nullptr);
    Rect16 remembered = makeRect16(40, 40, 1000, 700);
    WIN_Configure(window, &remembered);
    WIN_Init(window);
    WIN_Show(window);
    pumpUntil([] { return false; }, 300);
    std::string id = windowId("OKA Tool Manager");
    ASSERT_FALSE(id.empty());
    // Window managers know it by the program's name, not by the toolkit's.
    EXPECT_EQ(firstLine("xprop -id " + id + " WM_CLASS"),
              "WM_CLASS(STRING) = \"toolkit_x11_tests\", \"toolkit_x11_tests\"");
    // Smaller than remembered is allowed down to the resource's size.
    xdotool("windowsize " + id + " 800 525");
    EXPECT_TRUE(pumpUntil([window] { return window->box.width == 800; }));
    // 376 x 324 more than the resource's size, below the 25-pixel menu bar.
    xdotool("windowsize " + id + " 1100 825");
    EXPECT_TRUE(pumpUntil([window] { return window->box.width == 1100; }));
    EXPECT_EQ(window->box.height, 800);
    EXPECT_EQ(RES_GetNthChild(window, 0)->box, makeRect16(8, 448 + 324, 708 + 376, 20));  // status line
    EXPECT_EQ(RES_GetNthChild(window, 10)->box, makeRect16(8, 8, 708 + 376, 66));        // tool icons
    EXPECT_EQ(RES_GetNthChild(window, 11)->box, makeRect16(166, 84, 550 + 376, 356 + 324));
    EXPECT_EQ(RES_GetNthChild(window, 1)->box, makeRect16(8, 84, 150, 26));  // buttons stay
    WIN_TerminateGetStatus(window);
}

int gCancels = 0, gConfirms = 0;  // activations of the Add Engine buttons

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
    gCancels = gConfirms = 0;
    RES_GetNthChild(window, 2)->procedure = count(&gConfirms);
    RES_GetNthChild(window, 3)->procedure = count(&gCancels);
    WgtObj* machine = RES_GetNthChild(window, 0);
    xdotool("mousemove " + screenPoint(window, machine) + " click 1");
    EXPECT_TRUE(pumpUntil([window, machine] { return window->focus == machine; }));

    xdotool("key Tab");
    EXPECT_TRUE(pumpUntil([window] { return window->focus == RES_GetNthChild(window, 1); })) << "Tab: port";
    xdotool("key Tab");
    EXPECT_TRUE(pumpUntil([window] { return window->focus == RES_GetNthChild(window, 3); })) << "Tab: Cancel";
    xdotool("key shift+Tab shift+Tab");
    EXPECT_TRUE(pumpUntil([window, machine] { return window->focus == machine; })) << "Shift-Tab: machine";
    xdotool("key Return");
    EXPECT_TRUE(pumpUntil([] { return gConfirms == 1; })) << "Return in the machine field";
    xdotool("key Escape");
    EXPECT_TRUE(pumpUntil([] { return gCancels == 1; })) << "Escape";
    EXPECT_EQ(gConfirms, 1);
    WIN_TerminateGetStatus(window);
}

}  // namespace
