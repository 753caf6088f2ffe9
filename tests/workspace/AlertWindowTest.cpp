// The alert window: what it shows, which button answers, and the error alerts.
#include "ToolManagerTest.h"
#include "core/Globals.h"
#include "core/HasErrorReporting.h"
#include "toolkit/automation/Automation.h"
#include "workspace/AlertWindow.h"
#include "workspace/ErrorText.h"

using AlertWindowTest = ToolManagerTest;

namespace {
// A warning with the default title and the one default button.
long warn(const char* message, unsigned char beep = 0) {
    return displayAlertWindow(message, kAlertWarning, nullptr, nullptr, nullptr, nullptr, beep,
                              nullptr);
}
}  // namespace

TEST_F(AlertWindowTest, ShowsTheKindAndButtonsAndAnswersWithTheButtonsNumber) {
    answerNextAlert(2);
    EXPECT_EQ(displayAlertWindow("Overwrite it?", kAlertQuestion, "Invalid file", "Cancel",
                                 "Overwrite", nullptr, 0, nullptr),
              2);
    EXPECT_EQ(alerts.back().title, "Invalid file");
    EXPECT_EQ(alerts.back().message, "Overwrite it?");
    EXPECT_EQ(alerts.back().icon, RES_LoadInit("AlrtW", "DefIconQuestionMsw"));
    EXPECT_EQ(alerts.back().buttons, (std::vector<std::string>{"Cancel", "Overwrite"}));
    EXPECT_EQ(AUTO_BeepCount(), 0);

    // Defaults, and a kind without an icon of its own warns.
    answerNextAlert(3);
    EXPECT_EQ(displayAlertWindow("Found x", 7, nullptr, nullptr, "Continue", "Cancel", 0, nullptr),
              3);
    EXPECT_EQ(alerts.back().title, "Could not complete that operation");
    EXPECT_EQ(alerts.back().icon, RES_LoadInit("AlrtW", "DefIconWarningMsw"));
    EXPECT_EQ(alerts.back().buttons, (std::vector<std::string>{"Ok", "Continue", "Cancel"}));
    EXPECT_EQ(gAlertWindow, nullptr);

    // Without a script the headless backend answers with the first button.
    EXPECT_EQ(warn("Nobody is there"), 1);
    EXPECT_EQ(warn(nullptr, 1), 0);

    // Error alerts explain the code, critically and with a beep.
    answerNextAlert(1);
    EXPECT_EQ(alertThisError(-1701), 1);
    EXPECT_EQ(alerts.back().message,
              "Unable to complete that operation because there is insufficient memory to complete "
              "that operation.");
    EXPECT_EQ(alerts.back().icon, RES_LoadInit("AlrtW", "DefIconCriticalMsw"));
    EXPECT_EQ(alerts.back().buttons, (std::vector<std::string>{"Ok"}));
    EXPECT_EQ(AUTO_BeepCount(), 1);
    HasErrorReporting reporter;
    reporter.setLastError(-302);
    answerNextAlert(1);
    alertLastError(reporter);
    EXPECT_EQ(alerts.back().message,
              "Unable to complete that operation because an unknown error occurred.");
    EXPECT_TRUE(manager.logContains(alerts.back().message));
}

TEST_F(AlertWindowTest, WhileAnAlertWaitsToolsAreAnsweredAndASignalEndsIt) {
    // A message that arrives during the alert asks for an alert of its own.
    static long nestedAnswer = -1;
    nestedAnswer = -1;
    gMessageCenter->registerMessageHandler(typeCode("NEST"), nullptr, [](Message*, Message*) {
        nestedAnswer = warn("second");
        return int32_t(0);
    });
    gMessageCenter->getQueue().enqueueMessage(new Message(typeCode("NEST"), nullptr));
    answerNextAlert(1);
    EXPECT_EQ(warn("first"), 1);
    EXPECT_EQ(nestedAnswer, 0);  // handled while the first was open, and refused with a beep
    EXPECT_EQ(AUTO_BeepCount(), 1);
    EXPECT_EQ(alerts.back().message, "first");

    // A signal to end the program ends the alert unanswered.
    AUTO_ScriptModal("alertWindow", [](WinObj*) {
        gFinished = 1;  // as SIGTERM does while the alert waits
        AUTO_FireAlarms();
    });
    EXPECT_EQ(warn("Overwrite it?"), 0);
    gFinished = 0;
}
