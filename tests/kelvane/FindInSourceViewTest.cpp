// The find window and its messages; okasample is the source viewer answering 'FISV'.
#include <tuple>

#include "ChildProcess.h"
#include "ToolManagerTest.h"
#include "toolkit/automation/Automation.h"
#include "tools/ToolRegistry.h"
#include "workspace/FindInSourceView.h"

namespace fs = std::filesystem;

namespace {
constexpr TypeCode kViewerType = typeCode("SVWR");

class FindInSourceViewTest : public ToolManagerTest {
  protected:
    FindInSourceViewTest() {
        delete[] gSearchString;
        gSearchString = nullptr;
        gCaseSensitive = 0;
        gTextChanged = 1;
    }

    // Serves the tools until `condition` holds or five seconds pass.
    bool serveUntil(const std::function<bool()>& condition) {
        return pollUntil(
            [&] {
                gMessageCenter->poll(10);
                return condition();
            },
            5000);
    }
    // okasample as a source viewer, registered, showing a file of `text`.
    void startViewer(const std::string& text) {
        fs::path shown = manager.home.path() / "agent.qa";
        writeFile(shown, text);
        viewer = std::make_unique<ChildProcess>(
            builtProgram("okasample"),
            std::vector<std::string>{"--name", "Viewer", "--type", "SVWR", "--source-viewer",
                                     "--program", "okasample"},
            std::vector<std::string>{"HOME=" + manager.home.path().string(),
                                     "OKA=" + manager.installation.string()});
        ASSERT_TRUE(
            serveUntil([] { return gToolRegistry->lookupToolByType(kViewerType) != nullptr; }));
        // Shows the file directly, not through the Tool Manager's relay.
        Message* show = newDisplayRequest(shown.string());
        show->destination = *gToolRegistry->lookupToolByType(kViewerType);
        gMessageCenter->sendMessage(show);
        ASSERT_TRUE(
            serveUntil([&] { return manager.logContains("received DISF " + shown.string()); }));
    }
    TButObj* findButton() { return static_cast<TButObj*>(AUTO_FindChild(gFindWindow, "3")); }
    size_t searches() { return occurrences(manager.log(), "received FISV"); }

    std::unique_ptr<ChildProcess> viewer;
};
}  // namespace

TEST_F(FindInSourceViewTest, FindAsksTheSourceViewerAndBeepsUnlessFound) {
    startViewer("agent Greeter { say Hello }\n");

    EXPECT_EQ(deliver(newRequest("AFSV"))->getLongParam(0), 0);
    ASSERT_NE(gFindWindow, nullptr);
    AUTO_Activate(findButton());  // empty field, no earlier search
    EXPECT_EQ(AUTO_BeepCount(), 1);
    EXPECT_EQ(searches(), 0u);

    AUTO_EditText(gTextArea, "hello");
    AUTO_Activate(findButton());
    EXPECT_TRUE(manager.logContains("received FISV hello: found"));
    EXPECT_EQ(AUTO_BeepCount(), 1);

    AUTO_Activate(gCaseSensitiveButton);
    EXPECT_EQ(gCaseSensitive, 1);
    AUTO_PressEnter(gTextArea);
    EXPECT_TRUE(manager.logContains("received FISV hello: not found"));
    EXPECT_EQ(AUTO_BeepCount(), 2);
    AUTO_Activate(gCaseSensitiveButton);
    EXPECT_EQ(gCaseSensitive, 0);

    // Closed and opened again: the last text is back, and Find sends it again.
    AUTO_Close(gFindWindow);
    EXPECT_EQ(gFindWindow, nullptr);
    deliver(newRequest("AFSV"));
    EXPECT_STREQ(TED_GetStr(gTextArea), "hello");
    EXPECT_TRUE(TBUT_GetSelected(gCaseSensitiveButton) == false);
    AUTO_Activate(findButton());
    EXPECT_EQ(searches(), 3u);

    // The viewer gone: no reply, logged, one beep.
    viewer.reset();
    AUTO_Activate(findButton());
    EXPECT_TRUE(manager.logContains("findInSourceView received a nil reply from the Viewer"));
    EXPECT_EQ(AUTO_BeepCount(), 3);
}

TEST_F(FindInSourceViewTest, MessagesSetAndReadTheSearchState) {
    // Nothing searched yet: an empty text, case ignored.
    std::unique_ptr<Message> reply = deliver(newRequest("GFSV"));
    ASSERT_EQ(reply->paramCount, 3);
    EXPECT_EQ(std::tuple(reply->getParamType(1), reply->getParamLength(1), reply->getBoolParam(2)),
              std::tuple(kParamData, 0L, false));

    // An empty text is refused aloud; one without its terminator is taken as
    // far as it goes.
    deliver(newRequest("AFSV"));
    for (auto [text, length, shown] :
         {std::tuple{"needle", 7L, "needle"}, {"", 0L, "needle"}, {"pin", 3L, "pin"}}) {
        auto* set = newRequest("SFSV");
        set->addParam(kParamData, text, length);
        deliver(set);
        EXPECT_STREQ(TED_GetStr(gTextArea), shown);
    }
    EXPECT_TRUE(
        manager.logContains("setFindInSourceViewStringMsg received a zero length parameter"));

    gCaseSensitive = 1;
    reply = deliver(newRequest("GFSV"));
    ASSERT_EQ(reply->getParamLength(1), 3);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(reply->getParam(1)), 3), "pin");
    EXPECT_TRUE(reply->getBoolParam(2));
}
