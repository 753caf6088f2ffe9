// Identification of the project's files by the running tools: registry
// order, the fall-backs, tools that refuse, fail, stay silent or answer with
// an error, re-identification when tools come and go, and 'FADD'.
#include <algorithm>
#include <string>
#include <vector>

#include "ProjectFixture.h"
#include "projects/OKAFile.h"
#include "projects/ProjectManager.h"
#include "toolkit/LBoxObj.h"
#include "tools/ToolRegistry.h"

namespace {
constexpr TypeCode kAgentType = typeCode("QAGT");

class IdentificationTest : public ProjectTest {
protected:
    IdentificationTest() {
        gProjectManager->loadProject((home.path() / "ident.prj").c_str(), true);
    }
    std::filesystem::path journal(const char* name) const { return home.path() / name; }

    // Name and type of the list that holds `path`, "" when none does.
    std::string listOf(const std::string& path) {
        MasterComponentList& lists = gProjectManager->getMasterComponentList();
        for (long i = 0; i < lists.getCount(); ++i) {
            ComponentList* list = lists.getNthList(i);
            for (long j = 0; j < list->getCount(); ++j) {
                auto* file = dynamic_cast<OKAFile*>(list->get(j));
                if (file && path == file->getPathname())
                    return std::string(list->getName()) + " " + TypeIdentToCStr(list->getTypeIdent());
            }
        }
        return "";
    }
    static size_t countLines(const std::vector<std::string>& lines, const std::string& wanted) {
        return size_t(std::count(lines.begin(), lines.end(), wanted));
    }
};
}  // namespace

TEST_F(IdentificationTest, FirstLoadedToolInRegistryOrderDecides) {
    ScriptedTool first(journal("first"), "first", typeCode("FRST"),
                       {{".qa", IdentifyRule::recognise, "Quenta agent", kAgentType, "Agents"},
                        {".both", IdentifyRule::recognise, "first kind", typeCode("ONE "), ""}});
    ScriptedTool second(journal("second"), "second", typeCode("SCND"),
                        {{".both", IdentifyRule::recognise, "second kind", typeCode("TWO "), ""},
                         {".qh", IdentifyRule::recognise, "Quenta header", typeCode("QHDR"),
                          "Headers"}});
    ASSERT_EQ(registerFrom(first), 0);
    ASSERT_EQ(registerFrom(second), 0);

    std::string agent = makeFile("a.qa");
    std::string both = makeFile("x.both");
    std::string header = makeFile("h.qh");
    std::string text = makeFile("readme");
    std::string binary = makeFile("blob", std::string("\0\0", 2));
    std::string missing = (home.path() / "missing.qa").string();
    for (const std::string& path : {agent, both, header, text, binary, missing})
        gProjectManager->addFileToProject(path.c_str());

    EXPECT_EQ(listOf(agent), "Quenta agent files QAGT");
    EXPECT_EQ(listOf(both), "first kind files ONE ");
    EXPECT_EQ(listOf(header), "Quenta header files QHDR");
    EXPECT_EQ(listOf(text), "text files TEXT");
    EXPECT_EQ(listOf(binary), "unidentified files ????");
    EXPECT_EQ(listOf(missing), "missing files MISS");
    auto& lists = gProjectManager->getMasterComponentList();
    EXPECT_STREQ(lists.getComponentList(kAgentType)->getDescription(), "Agents");

    // The second tool was never asked about what the first recognised, and
    // nobody was asked about the missing file.
    auto secondLines = second.journal();
    EXPECT_EQ(countLines(secondLines, "IDFL " + both), 0u);
    EXPECT_EQ(countLines(secondLines, "IDFL " + header), 1u);
    EXPECT_EQ(countLines(first.journal(), "IDFL " + missing), 0u);

    // Every tool hears of every added file, with its type.
    EXPECT_TRUE(first.waitForLine("FADD " + agent + " QAGT"));
    EXPECT_TRUE(second.waitForLine("FADD " + agent + " QAGT"));
    EXPECT_TRUE(first.waitForLine("FADD " + missing + " MISS"));
    EXPECT_TRUE(second.waitForLine("FADD " + both + " ONE "));
}

TEST_F(IdentificationTest, FailingToolsAreLoggedAndSkipped) {
    ScriptedTool failing(journal("failing"), "failing", typeCode("FAIL"),
                         {{".err", IdentifyRule::error, "", 0, ""},
                          {".slow", IdentifyRule::silent, "", 0, ""},
                          {".eng", IdentifyRule::recognise, "engine", typeCode("ENGN"), ""},
                          {".any", IdentifyRule::recognise, "any", typeCode("****"), ""}});
    ScriptedTool backup(journal("backup"), "backup", typeCode("BACK"),
                        {{".err", IdentifyRule::recognise, "rescued", typeCode("RESC"), ""},
                         {".slow", IdentifyRule::recognise, "patient", typeCode("PATI"), ""}});
    ASSERT_EQ(registerFrom(failing), 0);
    ASSERT_EQ(registerFrom(backup), 0);
    std::string erring = makeFile("a.err");
    std::string slow = makeFile("b.slow");
    gProjectManager->addFileToProject(erring.c_str());
    gProjectManager->addFileToProject(slow.c_str());  // waits out the time-out once
    // Replies claiming the engines' or the wildcard type are not believed.
    std::string engineLike = makeFile("c.eng");
    std::string anyLike = makeFile("d.any");
    gProjectManager->addFileToProject(engineLike.c_str());
    gProjectManager->addFileToProject(anyLike.c_str());
    EXPECT_EQ(listOf(engineLike), "text files TEXT");
    EXPECT_EQ(listOf(anyLike), "text files TEXT");
    EXPECT_EQ(listOf(erring), "rescued files RESC");
    EXPECT_EQ(listOf(slow), "patient files PATI");
}

TEST_F(IdentificationTest, ToolsComingAndGoingMoveFilesBetweenLists) {
    std::string agent = makeFile("a.qa");
    std::string other = makeFile("b.txt");
    gProjectManager->addFileToProject(agent.c_str());
    gProjectManager->addFileToProject(other.c_str());
    EXPECT_EQ(listOf(agent), "text files TEXT");
    auto& lists = gProjectManager->getMasterComponentList();
    EXPECT_EQ(lists.getCount(), 1);

    {
        ScriptedTool tool(journal("tool"), "tool", typeCode("TOOL"),
                          {{".qa", IdentifyRule::recognise, "Quenta agent", kAgentType, ""},
                           {".txt", IdentifyRule::recognise, "Quenta agent", kAgentType, ""}});
        ASSERT_EQ(registerFrom(tool), 0);  // registration identifies again
        EXPECT_EQ(listOf(agent), "Quenta agent files QAGT");
        EXPECT_EQ(listOf(other), "Quenta agent files QAGT");
        EXPECT_EQ(lists.lookUpComponentList(typeCode("TEXT")), -1);  // the empty list went

        EXPECT_EQ(deliver(newRequest("UNRT", typeCode("TOOL")), tool.info)->getLongParam(0), 0);
    }
    EXPECT_EQ(listOf(agent), "text files TEXT");
    EXPECT_EQ(lists.getCount(), 1);

    // A reload identifies the stored files again from scratch.
    manager.restart();
    EXPECT_EQ(listOf(agent), "text files TEXT");
    std::filesystem::remove(agent);
    gProjectManager->identifyAllFiles();
    EXPECT_EQ(listOf(agent), "missing files MISS");
    EXPECT_EQ(gProjectManager->getMasterComponentList().getCount(), 2);
}

TEST_F(IdentificationTest, ProjectListFollowsChangesAndKeepsTheSelection) {
    LBoxObj box;
    gProjectManager->setProjectListBox(&box);
    auto rowTexts = [&] {
        std::vector<std::string> texts;
        for (const ListRow& row : box.rows) texts.push_back(row.text);
        return texts;
    };
    auto selectedPath = [] {
        Item* item = nullptr;
        gProjectManager->getSelectedComponent(&item);
        auto* file = dynamic_cast<OKAFile*>(item);
        return file ? std::string(file->getPathname()) : std::string();
    };
    std::string agent = makeFile("a.qa");
    std::string notes = makeFile("z.txt");
    gProjectManager->addFileToProject(agent.c_str());
    gProjectManager->addFileToProject(notes.c_str());
    EXPECT_EQ(rowTexts(), (std::vector<std::string>{"text files", "a.qa", "z.txt"}));
    EXPECT_EQ(selectedPath(), notes);  // the new file is selected

    LBOX_AllUnselect(&box);
    LBOX_GoIndex(&box, 1);
    LBOX_CurSelect(&box);
    ScriptedTool tool(journal("tool"), "tool", typeCode("TOOL"),
                      {{".qa", IdentifyRule::recognise, "Quenta agent", kAgentType, ""}});
    ASSERT_EQ(registerFrom(tool), 0);
    EXPECT_EQ(rowTexts(),
              (std::vector<std::string>{"Quenta agent files", "a.qa", "text files", "z.txt"}));
    EXPECT_EQ(selectedPath(), agent);  // the selection moved with the file
    gProjectManager->setProjectListBox(nullptr);
}
