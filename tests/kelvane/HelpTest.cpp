// Help through a fake viewer that records its arguments (F1 in dialogs: DialogKeysTest).
#include <fstream>

#include "ChildProcess.h"
#include "ToolManagerTest.h"
#include "kelvane/PreferencesWindow.h"
#include "kelvane/WorkspaceWindow.h"
#include "storage/PrefMan.h"
#include "toolkit/automation/Automation.h"
#include "workspace/HelpManager.h"

namespace fs = std::filesystem;

namespace {

void writeShellScript(const fs::path& program, const std::string& body) {
    writeFile(program, "#!/bin/sh\n" + body);
    fs::permissions(program, fs::perms::owner_all);
}

// The next message of type `type` that reaches `tool`, or null.
std::unique_ptr<Message> receiveOfType(FakeTool& tool, TypeCode type) {
    for (std::unique_ptr<Message> message = tool.receive(); message; message = tool.receive())
        if (message->type == type) return message;
    return nullptr;
}

class HelpTest : public ToolManagerTest {
  protected:
    HelpTest() {
        for (const fs::path& document :
             {documents / "user.html", documents / "quenta.html", oddDocument})
            writeFile(document, "<html></html>\n");
        // It writes each argument it gets on a line of its own.
        writeShellScript(home / "viewer",
                         "printf '%s\\n' \"$@\" >> '" + viewerOut.string() + "'\n");
        gHelpManager->setViewerName((home / "viewer").c_str());
    }

    // The arguments of the viewer's run (it starts in the background); empty
    // when it did not run within `waitMs`.
    std::vector<std::string> viewerArguments(int waitMs = 2000) {
        if (!pollUntil([&] { return !readFile(viewerOut).empty(); }, waitMs)) return {};
        std::vector<std::string> arguments;
        std::ifstream lines(viewerOut);
        for (std::string line; std::getline(lines, line);) arguments.push_back(line);
        fs::remove(viewerOut);
        return arguments;
    }

    fs::path home = manager.home.path();
    fs::path documents = manager.installation / "doc" / "html";
    fs::path viewerOut = home / "viewer.out";
    // Blanks, quotes and semicolons in the path must survive the shell and the URL.
    fs::path oddDocument = home / "it's; docs" / "user.html";
};
}  // namespace

TEST_F(HelpTest, WorkspaceHelpMenuHoldsTheDocumentsAndExplainsTheNextChoice) {
    createWorkspaceWindow();
    MBarObj* bar = WIN_GetMenuBar(gWorkspaceWindow);
    ASSERT_EQ(bar->titles.back().label, "&Help");
    EXPECT_TRUE(bar->titles.back().rightAligned);
    std::vector<std::string> labels;
    const std::vector<MenuItem>& items = bar->titles.back().menu->items;
    for (const MenuItem& item : items) labels.push_back(item.label);
    EXPECT_EQ(labels, (std::vector<std::string>{"&Developer Library", "&Programmng Guide",
                                                "&Language Reference", "&User Guide", "&Menu Item",
                                                "&This Window", "&About the OKA"}));
    EXPECT_EQ(items[5].accelCode, kKeyF1);

    // Menu-item help explains the next choice instead of running it.
    ASSERT_TRUE(AUTO_ChooseMenuItem(gWorkspaceWindow, "&Menu Item"));
    EXPECT_TRUE(gHelpManager->isMenuItemHelpPending());
    ASSERT_TRUE(AUTO_ChooseMenuId(gWorkspaceWindow, 106));  // Preferences...
    EXPECT_EQ(viewerArguments(), std::vector<std::string>{(documents / "user.html").string() +
                                                          "#OKAMenu:ToolManager:Preferences..."});
    EXPECT_FALSE(gHelpManager->isMenuItemHelpPending());
    // Twice in a row: the second choice explains "&Menu Item" itself.
    AUTO_ChooseMenuItem(gWorkspaceWindow, "&Menu Item");
    AUTO_ChooseMenuItem(gWorkspaceWindow, "&Menu Item");
    EXPECT_EQ(viewerArguments(), std::vector<std::string>{(documents / "user.html").string() +
                                                          "#OKAMenu:ToolManager:MenuItem"});
    EXPECT_FALSE(gHelpManager->isMenuItemHelpPending());

    // A window whose bar has "&Help" already gets the documents after a separator.
    WinObj window;
    window.menuBar = std::make_unique<MBarObj>(&window);
    MBAR_AddItem(window.menuBar.get(), "&Help");
    MBAR_CurSetSubMenu(window.menuBar.get(), MENU_Create());
    gHelpManager->addMenu(&window);
    ASSERT_EQ(window.menuBar->titles.size(), 1u);
    EXPECT_TRUE(window.menuBar->titles[0].menu->items.front().separator);
}

TEST_F(HelpTest, TheViewerGetsTheDocumentAsOneWordAndWithoutItTheOpenerAFileUrl) {
    gHelpManager->showHelp(oddDocument.c_str(), "OKAWin:ToolManager", nullptr);
    EXPECT_EQ(viewerArguments(),
              std::vector<std::string>{oddDocument.string() + "#OKAWin:ToolManager"});
    // A viewer with arguments of its own is run by the shell; the document stays one word.
    gHelpManager->setViewerName((std::string(gHelpManager->getViewerName()) + " --new").c_str());
    gHelpManager->showHelp(oddDocument.c_str(), nullptr, nullptr);
    EXPECT_EQ(viewerArguments(), (std::vector<std::string>{"--new", oddDocument.string()}));

    gHelpManager->showHelp("nowhere.html", "OKAWin:AddEngine", nullptr);
    EXPECT_TRUE(manager.logContains(
        "Could not find help file \"nowhere.html\" with anchor OKAWin:AddEngine"));
    EXPECT_EQ(AUTO_BeepCount(), 1);
    EXPECT_TRUE(viewerArguments(300).empty());

    // The desktop's opener, as strict as the real one: an existing file or a
    // URL, else status 2.
    fs::path bin = home / "bin";
    std::string out = viewerOut.string();
    writeShellScript(bin / "xdg-open",
                     "case \"$1\" in *://*) ;; *) [ -e \"$1\" ] || { echo \"REFUSED $1\" >> '" +
                         out + "'; exit 2; } ;; esac\nprintf '%s\\n' \"$1\" >> '" + out + "'\n");
    std::string path = getenv("PATH");
    setenv("PATH", (bin.string() + ":/usr/bin:/bin").c_str(), 1);
    gHelpManager->setViewerName("netscape");
    createWorkspaceWindow();
    std::string url = "file://" + documents.string();

    AUTO_KeyPress(gWorkspaceWindow, kKeyF1);
    EXPECT_EQ(viewerArguments(), std::vector<std::string>{url + "/user.html#OKAWin:ToolManager"});
    AUTO_KeyPress(gWorkspaceWindow, 'h');  // only F1 asks for help
    EXPECT_TRUE(viewerArguments(300).empty());
    AUTO_ChooseMenuItem(gWorkspaceWindow, "&Language Reference");
    EXPECT_EQ(viewerArguments(), std::vector<std::string>{url + "/quenta.html"});
    gHelpManager->showHelp(oddDocument.c_str(), "OKAMenu:ToolManager:AddFile", nullptr);
    EXPECT_EQ(viewerArguments(),
              std::vector<std::string>{"file://" + home.string() +
                                       "/it%27s%3B%20docs/user.html#OKAMenu:ToolManager:AddFile"});

    // The form shows what really runs; what the user types is kept as typed.
    WinObj* form = displayKelvanePreferences();
    ASSERT_NE(form, nullptr);
    auto* field = static_cast<TEdObj*>(AUTO_FindChild(form, "2/0"));
    EXPECT_STREQ(TED_GetStr(field), "xdg-open");
    setenv("PATH", path.c_str(), 1);
    AUTO_EditText(field, "netscape");
    AUTO_PressEnter(field);
    EXPECT_STREQ(gHelpManager->getViewerName(), "netscape");
}

TEST_F(HelpTest, TheViewerIsToldToToolsAndStoredOnOkOnly) {
    FakeTool browser("browser", typeCode("BROW"));
    FakeTool compiler("compiler", typeCode("COMP"));
    for (FakeTool* tool : {&browser, &compiler}) registerFrom(*tool);
    // 'HGDM' is answered with the viewer, then every document.
    gHelpManager->setViewerName("firefox");
    EXPECT_EQ(deliver(newRequest("HGDM"), browser.info)->getLongParam(0), 0);
    std::unique_ptr<Message> viewer = receiveOfType(browser, typeCode("HDTM"));
    ASSERT_TRUE(viewer);
    char text[kPathSize];
    viewer->getTextParam(0, text, sizeof text);
    EXPECT_STREQ(text, "firefox");
    for (long i = 0; i < 4; ++i) {
        std::unique_ptr<Message> document = browser.receive();
        ASSERT_TRUE(document && document->type == typeCode("HMEM"));
        document->getTextParam(0, text, sizeof text);
        EXPECT_STREQ(text, gHelpManager->getHelpMItemLabel(i));
        document->getTextParam(1, text, sizeof text);
        EXPECT_STREQ(text, gHelpManager->getHelpMItemFile(i));
    }

    // The preferences form: Ok stores the viewer and tells every tool.
    WinObj* form = displayKelvanePreferences();
    ASSERT_NE(form, nullptr);
    auto* field = static_cast<TEdObj*>(AUTO_FindChild(form, "2/0"));
    EXPECT_STREQ(TED_GetStr(field), "firefox");
    AUTO_EditText(field, "");
    AUTO_Activate(static_cast<TButObj*>(AUTO_FindChild(form, "0")));

    EXPECT_STREQ(gHelpManager->getViewerName(), "");
    EXPECT_EQ(gPreferencesManager->countPreferencesOfType(typeCode("HTPT")).valueOr(-1), 1);
    char stored[8] = "x";
    EXPECT_EQ(gPreferencesManager->readNthPreference(typeCode("HTPT"), 1, stored, sizeof stored)
                  .valueOr(-1),
              1);
    EXPECT_EQ(stored[0], '\0');
    for (FakeTool* tool : {&browser, &compiler}) {
        std::unique_ptr<Message> message = receiveOfType(*tool, typeCode("HDTM"));
        ASSERT_TRUE(message);
        EXPECT_EQ(message->getParamLength(0), 1);
    }

    form = displayKelvanePreferences();
    AUTO_EditText(static_cast<TEdObj*>(AUTO_FindChild(form, "2/0")), "firefox --new-window");
    AUTO_Activate(static_cast<TButObj*>(AUTO_FindChild(form, "1")));
    EXPECT_STREQ(gHelpManager->getViewerName(), "");

    changeHelpViewer("firefox --new-window");
    manager.restart();
    EXPECT_STREQ(gHelpManager->getViewerName(), "firefox --new-window");
}

TEST_F(HelpTest, UserHelpHasAnAnchorForEveryWindowAndMenuItem) {
    std::string page = readFile(sourceFile("resources/doc/html/user.html"));
    std::vector<std::string> anchors;
    for (const char* key : {"ToolManager", "AddEngine", "KelvanePrefs", "ListFilters",
                            "ProjectPaths", "SourceFind", "FilePicker", "ToolInfo", "AlertWindow"})
        anchors.push_back(std::string("OKAWin:") + key);
    // The workspace is the one window with a menu bar.
    createWorkspaceWindow();
    for (const MenuTitle& title : WIN_GetMenuBar(gWorkspaceWindow)->titles) {
        for (const MenuItem& item : title.menu->items) {
            if (item.separator) continue;
            std::string label = item.label;
            std::erase_if(label, [](char c) { return c == ' ' || c == '&'; });
            anchors.push_back("OKAMenu:ToolManager:" + label);
        }
    }
    EXPECT_GT(anchors.size(), 20u);
    for (const std::string& anchor : anchors)
        EXPECT_NE(page.find("id=\"" + anchor + "\""), std::string::npos)
            << "user.html lacks " << anchor;
}
