// Windows in the headless backend: modal loops, life cycle and alarms.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "toolkit/Toolkit.h"
#include "toolkit/automation/Automation.h"

namespace {

std::vector<std::string> gTrace;  // notifications seen by the procedures below

// A window with a label, and a button that ends the modal loop with 7.
WinObj* makeDialog(const char* name) {
    auto* window = new WinObj;
    window->name = name;
    auto label = std::make_unique<TAreaObj>();
    label->name = "label";
    auto button = std::make_unique<TButObj>();
    button->name = "ok";
    window->addChild(std::move(label));
    window->addChild(std::move(button));
    return window;
}

void okNfy(TButObj* button, int code) {
    if (code == kNfyActivated) WIN_ModalReturn(WGT_GetWin(button), 7);
    if (code == kNfyButtonDestroyed) gTrace.push_back("button destroyed");
    TBUT_DefNfy(button, code);
}

void tracingWindowNfy(WinObj* window, int code) {
    if (code == kNfyWindowDestroyed) {
        // The widgets must still be there while the window hears of its end.
        auto* label = static_cast<TAreaObj*>(RES_GetNthChild(window, 0));
        gTrace.push_back(std::string("destroyed, label ") + (label ? "present" : "gone"));
    }
    if (code == kNfyWindowClosed) gTrace.push_back("closed");
    WIN_DefNfy(window, code);
}

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        AUTO_Reset();
        gTrace.clear();
    }
};

// A script waits for its own window's loop; other loops and user closes cancel.
TEST_F(WindowTest, ModalLoopEndsByItsScriptedButtonOrCancelled) {
    AUTO_ScriptModalButton("other", "1");
    WinObj* window = makeDialog("dialog");
    EXPECT_EQ(WIN_ModalProcess(window), kModalCancelled);
    WIN_TerminateGetStatus(window);
    EXPECT_EQ(AUTO_UnscriptedCount(), 1);

    WinObj* other = makeDialog("other");
    RES_SetNfyProcDS(static_cast<TButObj*>(RES_GetNthChild(other, 1)), okNfy, 0);
    EXPECT_EQ(WIN_ModalProcess(other), 7);
    EXPECT_EQ(WIN_TerminateGetStatus(other), 7);

    WinObj* closed = makeDialog("closed");
    AUTO_ScriptModal("closed", [](WinObj* shown) { AUTO_Close(shown); });
    EXPECT_EQ(WIN_ModalProcess(closed), kModalCancelled);
    WIN_TerminateGetStatus(closed);
    EXPECT_EQ(AUTO_UnscriptedCount(), 1);
}

TEST_F(WindowTest, InitialisationGoesChildrenFirstAndClosingGoesWindowFirstOnce) {
    WinObj* window = makeDialog("dialog");
    std::vector<std::string> initialised;
    auto record = [&initialised](WgtObj* widget, int code) {
        if (code == kNfyInit) initialised.push_back(widget->name);
    };
    for (WgtObj* widget :
         {RES_GetNthChild(window, 0), RES_GetNthChild(window, 1), static_cast<WgtObj*>(window)})
        widget->procedure = record;
    WIN_Init(window);
    EXPECT_EQ(initialised, (std::vector<std::string>{"label", "ok", "dialog"}));

    RES_SetNfyProcDS(window, tracingWindowNfy, 0);
    RES_SetNfyProcDS(static_cast<TButObj*>(RES_GetNthChild(window, 1)), okNfy, 0);
    WIN_TerminateGetStatus(window);
    EXPECT_EQ(gTrace,
              (std::vector<std::string>{"closed", "destroyed, label present", "button destroyed"}));

    // The user's close of a modeless window: the default procedure destroys it once.
    gTrace.clear();
    window = makeDialog("closed");
    RES_SetNfyProcDS(window, tracingWindowNfy, 0);
    AUTO_Close(window);
    EXPECT_EQ(gTrace, (std::vector<std::string>{"closed", "destroyed, label present"}));
}

int gAlarmCount = 0;  // alarms received by alarmNfy

// Restarts its alarm on every alarm, as a modal poll restarts its 100 ms one.
void alarmNfy(TAreaObj* label, int code) {
    if (code == kNfyAlarm && ++gAlarmCount == 1) EVENT_StartWgtAlarm(label, 0, 0);
    TAREA_DefNfy(label, code);
}

TEST_F(WindowTest, AlarmIsServedOncePerRoundAndCancelledWithItsWidget) {
    gAlarmCount = 0;
    WinObj* window = makeDialog("dialog");
    auto* label = static_cast<TAreaObj*>(RES_GetNthChild(window, 0));
    RES_SetNfyProcDS(label, alarmNfy, 0);
    EVENT_StartWgtAlarm(label, 0, 0);
    EVENT_ProcessPending();
    EXPECT_EQ(gAlarmCount, 1);  // the restarted alarm waits for the next round
    EVENT_ProcessPending();
    EVENT_ProcessPending();
    EXPECT_EQ(gAlarmCount, 2);

    EVENT_StartWgtAlarm(label, 0, 60000);
    EVENT_ProcessPending();
    EXPECT_EQ(gAlarmCount, 2);  // not due yet
    WIN_TerminateGetStatus(window);
    EXPECT_EQ(AUTO_FireAlarms(), 0);  // went with the widget
}

}  // namespace
