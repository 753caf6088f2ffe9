// Everything in the Tool Manager that asks the user for a path.
#include <filesystem>
#include <string>

#include "ProjectFixture.h"
#include "kelvane/ToolManagerApp.h"
#include "messaging/FullPath.h"
#include "projects/GlobalPathManager.h"
#include "projects/ProjectFilePicker.h"
#include "projects/ProjectManager.h"
#include "toolkit/Toolkit.h"
#include "toolkit/automation/Automation.h"

namespace {

class ProjectPickerTest : public ProjectTest {
  protected:
    static bool inProject(const std::string& path) {
        Item* item = nullptr;
        return gProjectManager->getComponentByIdent(&item, typeCode("TEXT"), path.c_str(), 0);
    }
    std::vector<std::string> projectPaths() {
        std::vector<std::string> paths;
        const List& list = gGlobalPathManager->getPaths();
        for (long i = 0; i < list.getCount(); ++i)
            paths.push_back(static_cast<StringItem*>(list.get(i))->getString());
        return paths;
    }
};

}  // namespace

TEST_F(ProjectPickerTest, NewAndOpenProjectLoadTheChosenFileAndRememberIt) {
    std::string created = (home.path() / "work" / "new.prj").string();
    std::filesystem::create_directories(home.path() / "work");
    pickerAccepts(created);
    chooseProject(true);
    EXPECT_TRUE(std::filesystem::exists(created));
    EXPECT_STREQ(gProjectManager->getProjectTitle(), "OKA Project: new.prj");

    EXPECT_TRUE(gProjectManager->loadProject((home.path() / "other.prj").c_str(), true).ok());
    pickerAccepts(created);
    chooseProject(false);
    EXPECT_STREQ(gProjectManager->getProjectTitle(), "OKA Project: new.prj");
    manager.restart();
    EXPECT_EQ(gProjectManager->getProjectPath(), created);

    // Open refuses a name that names no file; unanswered, the picker cancels.
    pickerAccepts((home.path() / "absent.prj").string());
    chooseProject(false);
    EXPECT_STREQ(gProjectManager->getProjectTitle(), "OKA Project: new.prj");
}

TEST_F(ProjectPickerTest, AddFileCommandFallBackAndMakeFullPathAddWhatIsChosen) {
    EXPECT_TRUE(gProjectManager->loadProject((home.path() / "add.prj").c_str(), true).ok());
    std::string notes = makeFile("notes.txt");
    pickerAccepts(notes);
    addFileWithPicker();
    EXPECT_TRUE(inProject(notes));

    std::string other = makeFile("other.txt");
    chooseFileForCommand();  // unanswered: cancelled, nothing added
    EXPECT_FALSE(inProject(other));
    pickerAccepts(other);
    chooseFileForCommand();
    EXPECT_TRUE(inProject(other));

    std::string header = makeFile("lib/header.qh");
    auto fullPath = [](bool mayAsk) {
        std::unique_ptr<char[]> path(makeFullPath("header.qh", gKelvaneToolInfo, mayAsk));
        return path ? std::string(path.get()) : "(none)";
    };
    EXPECT_EQ(fullPath(false), "(none)");
    pickerAccepts(header);
    EXPECT_EQ(fullPath(true), header);
    for (int i = 0; i < 5; ++i) gMessageCenter->poll(10);  // the 'ADGP' sent to ourselves
    EXPECT_EQ(projectPaths(), (std::vector<std::string>{(home.path() / "src" / "lib").string()}));
    EXPECT_EQ(fullPath(false), header);
}

namespace {
class DisplaySourceTest : public ProjectPickerTest {
  protected:
    // The path a relayed request carries, "" when none was relayed.
    static std::string pathOf(const std::unique_ptr<Message>& relayed) {
        char path[256] = "";
        if (relayed) relayed->getTextParam(0, path, sizeof path);
        return path;
    }
    // Delivers `request` from the requester; what the viewer received, or null.
    std::unique_ptr<Message> relay(Message* request, FakeTool& target) {
        request->replyTimeout = 300;  // the relay waits this long for the fake viewer
        EXPECT_EQ(deliver(request, requester.info)->getLongParam(0), 0);
        // The fake viewer never answers; the next relay is to wait for it again.
        gToolRegistry->markResponding(target.info.toolType);
        return target.receive(300);
    }

    FakeTool requester{"requester", typeCode("REQT")};
    FakeTool viewer{"viewer", typeCode("VIEW"), true};
    FakeTool otherViewer{"other viewer", typeCode("VWR2"), true};
};
}  // namespace

TEST_F(DisplaySourceTest, RelayedToTheViewerAskedForElseTheCurrentOneResolvedOrLocated) {
    EXPECT_TRUE(gProjectManager->loadProject((home.path() / "disf.prj").c_str(), true).ok());
    registerFrom(requester);
    int unscripted = AUTO_UnscriptedCount();
    EXPECT_EQ(deliver(newDisplayRequest("x.qa"), requester.info)->getLongParam(0), 0);
    EXPECT_EQ(AUTO_UnscriptedCount(), unscripted + 1);  // no viewer: the stock warning, dismissed
    EXPECT_EQ(requester.receive(100), nullptr);

    registerFrom(viewer);
    std::unique_ptr<Message> original(newDisplayRequest("shown.qa", 0, false, true));
    std::unique_ptr<Message> relayed = relay(new Message(*original), viewer);
    ASSERT_NE(relayed, nullptr);
    ASSERT_EQ(relayed->paramCount, original->paramCount);
    for (int i = 0; i < original->paramCount; ++i)
        EXPECT_EQ(std::pair(relayed->getParamType(i), paramBytes(*relayed, i)),
                  std::pair(original->getParamType(i), paramBytes(*original, i)));
    EXPECT_EQ(relayed->sender.toolType, typeCode("TOOL"));

    std::string source = makeFile("lib/shown.qa");
    gGlobalPathManager->addUniquePath((home.path() / "src" / "lib").c_str());
    std::unique_ptr<Message> resolved = relay(newDisplayRequest("shown.qa", 0, true), viewer);
    ASSERT_EQ(pathOf(resolved), source);
    EXPECT_EQ(resolved->getParamLength(0), 256);
    EXPECT_FALSE(resolved->getBoolParam(1));

    // Unresolved and not to ask: relayed as it came, apart from the flag.
    EXPECT_EQ(pathOf(relay(newDisplayRequest("elsewhere.qa", 0, true), viewer)), "elsewhere.qa");

    // Unresolved and the user may be asked: cancelling sends nothing ...
    EXPECT_EQ(relay(newDisplayRequest("elsewhere.qa", 0, true, true), viewer), nullptr);
    // ... and a located file is sent, its directory becoming a project path.
    std::string located = makeFile("other/elsewhere.qa");
    pickerAccepts(located);
    std::unique_ptr<Message> chosen =
        relay(newDisplayRequest("elsewhere.qa", 0, true, true), viewer);
    ASSERT_EQ(pathOf(chosen), located);
    EXPECT_EQ(chosen->getParamLength(0), long(located.size() + 1));
    EXPECT_EQ(projectPaths().back(), (home.path() / "src" / "other").string());

    registerFrom(otherViewer);  // the current source viewer now
    EXPECT_NE(relay(newDisplayRequest("x.qa", typeCode("VIEW")), viewer), nullptr);
    EXPECT_NE(relay(newDisplayRequest("x.qa", typeCode("NONE")), otherViewer), nullptr);
    EXPECT_EQ(viewer.receive(100), nullptr);
}

TEST_F(ProjectPickerTest, ThePathnamesWindowEditsThePathsAndWritesThemWhenClosed) {
    std::string projectFile = (home.path() / "paths.prj").string();
    EXPECT_TRUE(gProjectManager->loadProject(projectFile.c_str(), true).ok());
    gGlobalPathManager->addUniquePath("/first");
    gGlobalPathManager->editGlobalPaths();
    WinObj* window = GlobalPathManager::getPathnamesWindow();
    ASSERT_NE(window, nullptr);
    auto* field = static_cast<TEdObj*>(RES_GetNthChild(window, 1));
    EXPECT_STREQ(TED_GetStr(field), "/first\n");

    // A path added by a tool shows at once.
    deliver(newRequest("ADGP", {"/from/tool", "/from/tool"}));
    EXPECT_STREQ(TED_GetStr(field), "/first\n/from/tool\n");

    // Browse appends a chosen directory on a line of its own.
    std::string chosen = (home.path() / "chosen").string();
    std::filesystem::create_directories(chosen);
    AUTO_EditText(field, "/first\n /with blanks/ \n\n   \n/from/tool");
    AUTO_ScriptModal("filePicker", [&](WinObj* picker) {
        AUTO_EditText(static_cast<TEdObj*>(RES_GetNthChild(picker, 6)), chosen.c_str());
        AUTO_Activate(static_cast<TButObj*>(RES_GetNthChild(picker, 11)));
    });
    AUTO_Activate(static_cast<TButObj*>(RES_GetNthChild(window, 2)));
    EXPECT_EQ(std::string(TED_GetStr(field)),
              "/first\n /with blanks/ \n\n   \n/from/tool\n" + chosen);
    EXPECT_EQ(projectPaths().size(), 2u);  // the list changes only on closing

    AUTO_Close(window);
    EXPECT_EQ(GlobalPathManager::getPathnamesWindow(), nullptr);
    std::vector<std::string> expected{"/first", "/withblanks/", "", "/from/tool", chosen};
    EXPECT_EQ(projectPaths(), expected);

    // Written to the project file: another project and back brings them again.
    EXPECT_TRUE(gProjectManager->loadProject((home.path() / "else.prj").c_str(), true).ok());
    EXPECT_TRUE(projectPaths().empty());
    gGlobalPathManager->editGlobalPaths();
    window = GlobalPathManager::getPathnamesWindow();
    EXPECT_TRUE(gProjectManager->loadProject(projectFile.c_str(), false).ok());
    EXPECT_EQ(projectPaths(), expected);
    EXPECT_EQ(std::string(TED_GetStr(static_cast<TEdObj*>(RES_GetNthChild(window, 1)))),
              "/first\n/withblanks/\n\n/from/tool\n" + chosen + "\n");
    AUTO_Close(window);
}
