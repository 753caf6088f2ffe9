// The keys of every dialog: F1 shows its help, Escape cancels or closes it,
// Return in a one-line field presses the default button, Tab reads in order.
#include "WorkspaceFixture.h"
#include "kelvane/AboutWindow.h"
#include "kelvane/PreferencesWindow.h"
#include "kelvane/ToolInfoWindow.h"
#include "projects/GlobalPathManager.h"
#include "projects/NewEngineWindow.h"
#include "toolkit/widgets/KeyboardNavigation.h"
#include "workspace/AlertWindow.h"
#include "workspace/FilePicker.h"
#include "workspace/FindInSourceView.h"
#include "workspace/HelpManager.h"
#include "workspace/WindowManager.h"

namespace {

// Marks `gone` when the window is destroyed, keeping its own procedure.
void watchDestruction(WinObj* window, bool* gone) {
    auto own = window->procedure;
    window->procedure = [own, gone](WgtObj* widget, int code) {
        if (code == kNfyWindowDestroyed) *gone = true;
        own ? own(widget, code) : widget->defaultNotify(code);
    };
}

class DialogKeysTest : public WorkspaceTest {
  public:
    DialogKeysTest() {
        writeFile(manager.installation / "doc" / "html" / "user.html", "<html></html>\n");
        gHelpManager->setViewerName("true");
    }
    static WinObj* addEngineWindow() {
        displayNewEngineWindow(nullptr, 0);
        return gWindowManager->getWindowRecOfType(typeCode("ADDW"))->window;
    }
    static WinObj* pathsWindow() {
        gGlobalPathManager->editGlobalPaths();
        return GlobalPathManager::getPathnamesWindow();
    }
    static WinObj* findWindow() {
        askFindInSourceView();
        return gFindWindow;
    }
    // Runs `open`, a modal dialog, with F1 then Escape pressed in it; true
    // when the key ended the loop (nothing was left for the automatic answer).
    static bool escapeEnds(const char* windowName, const std::function<void()>& open) {
        AUTO_Reset();
        AUTO_ScriptModal(windowName, [](WinObj* window) {
            AUTO_KeyPress(window, kKeyF1);
            AUTO_KeyPress(window, kKeyEscape);
        });
        open();
        return AUTO_UnscriptedCount() == 0;
    }
    bool helpShown(const std::string& helpKey) {
        return manager.logContains("#OKAWin:" + helpKey + "\n");
    }
};

TEST_F(DialogKeysTest, HelpAndEscapeInEveryModelessDialog) {
    const std::pair<const char*, std::function<WinObj*()>> dialogs[] = {
        {"AddEngine", addEngineWindow},
        {"KelvanePrefs", displayKelvanePreferences},
        {"ListFilters", [] { return openFilterDialog(gProjectManager->addComponentView()); }},
        {"ProjectPaths", pathsWindow},
        {"SourceFind", findWindow},
    };
    for (const auto& [helpKey, open] : dialogs) {
        SCOPED_TRACE(helpKey);
        WinObj* window = open();
        ASSERT_NE(window, nullptr);
        AUTO_KeyPress(window, kKeyF1);
        EXPECT_TRUE(helpShown(helpKey));
        for (WgtObj* widget : focusChain(window))
            if (auto* field = dynamic_cast<TEdObj*>(widget); field && !field->multiLine)
                AUTO_EditText(field, "typed");
        bool gone = false;
        watchDestruction(window, &gone);
        AUTO_KeyPress(window, kKeyEscape);
        EXPECT_TRUE(gone);
    }
    // Closed by the window system right after F1, a window asks for no help again.
    WinObj* find = findWindow();
    AUTO_KeyPress(find, kKeyF1);
    AUTO_Close(find);
    EXPECT_EQ(occurrences(manager.log(), "#OKAWin:SourceFind\n"), 2u);
    // Cancelled, so nothing typed was taken.
    EXPECT_EQ(engineCount(), 0);
    EXPECT_STREQ(gHelpManager->getViewerName(), "true");
    EXPECT_FALSE(manager.logContains("typed"));
    // The workspace itself stays.
    AUTO_KeyPress(gWorkspaceWindow, kKeyEscape);
    EXPECT_NE(gWorkspaceWindow, nullptr);
}

TEST_F(DialogKeysTest, HelpAndEscapeInEveryModalDialog) {
    EXPECT_TRUE(escapeEnds("filePicker", [] {
        char chosen[kPathSize];
        EXPECT_FALSE(
            chooseFile(kPickerDisk, chosen, sizeof chosen, "Pick", nullptr, nullptr, true, true));
    }));
    EXPECT_TRUE(helpShown("FilePicker"));
    FakeTool tool("browser", typeCode("BROW"));
    registerFrom(tool);
    EXPECT_TRUE(escapeEnds("toolInfoWindow", [&] { displayToolInfoWindow(&tool.info); }));
    EXPECT_TRUE(helpShown("ToolInfo"));
    EXPECT_TRUE(escapeEnds("aboutOKAWindow", [] { displayAboutWindow(); }));

    // An alert's Escape is its "Cancel", wherever that stands; without one it answers nothing.
    struct {
        const char* buttons[3];
        long answer;
    } alerts[] = {{{"Cancel", "Overwrite", nullptr}, 1},
                  {{"Replace", "Cancel", nullptr}, 2},
                  {{"Select", "Continue", "Cancel"}, 3},
                  {{"Ok", nullptr, nullptr}, 0}};
    for (const auto& alert : alerts) {
        SCOPED_TRACE(alert.buttons[0]);
        EXPECT_TRUE(escapeEnds("alertWindow", [&] {
            EXPECT_EQ(displayAlertWindow("Question?", kAlertQuestion, nullptr, alert.buttons[0],
                                         alert.buttons[1], alert.buttons[2], 0, nullptr),
                      alert.answer);
        }));
    }
    EXPECT_TRUE(helpShown("AlertWindow"));
}

TEST_F(DialogKeysTest, TabWalksInReadingOrderAndReturnPressesTheDefaultButton) {
    // Add Engine: machine, port, then the row Cancel, Add (listed Add first).
    WinObj* window = addEngineWindow();
    std::vector<std::string> visited;
    for (int press = 0; press < 5; ++press) {
        AUTO_KeyPress(window, kKeyTab);
        visited.push_back(window->focus->name);
    }
    EXPECT_EQ(visited,
              (std::vector<std::string>{"machine", "port", "cancel", "confirm", "machine"}));
    AUTO_KeyPress(window, kKeyTab, kModShift);
    EXPECT_EQ(window->focus->name, "confirm");
    auto* machine = static_cast<TEdObj*>(RES_GetNthChild(window, 0));
    AUTO_EditText(machine, "enginehost");
    AUTO_PressEnter(machine);
    EXPECT_EQ(engineCount(), 1);
    EXPECT_FALSE(gWindowManager->windowTypeExists(typeCode("ADDW")));

    // Find: the toggle one pixel below the Find button shares its row.
    window = findWindow();
    std::vector<std::string> chain;
    for (WgtObj* widget : focusChain(window)) chain.push_back(widget->name);
    EXPECT_EQ(chain, (std::vector<std::string>{"text", "caseSensitive", "find"}));
    // Return in its field searches once, not once more through Find; without
    // a source viewer that is one beep, and nothing asked.
    auto* text = static_cast<TEdObj*>(RES_GetNthChild(window, 1));
    AUTO_EditText(text, "needle");
    AUTO_PressEnter(text);
    EXPECT_EQ(AUTO_BeepCount(), 1);
    EXPECT_FALSE(manager.logContains("findInSourceView received"));
}
}  // namespace
