// Identification of the project's files by the running tools, and 'FADD'.
#include <algorithm>
#include <string>
#include <vector>

#include "ProjectFixture.h"
#include "core/Platform.h"
#include "kelvane/ProjectColumns.h"
#include "projects/IdentifyProgress.h"
#include "projects/OKAFile.h"
#include "projects/ProjectManager.h"
#include "toolkit/widgets/LBoxObj.h"
#include "tools/ToolRegistry.h"

namespace {
constexpr TypeCode kAgentType = typeCode("QAGT");
const IdentifyRule kAgentRule{".qa", IdentifyRule::recognise, "Quenta agent", kAgentType, ""};
// Two tools that both recognise ".both": the first registered decides.
const std::vector<IdentifyRule> kFirstRules{
    {".qa", IdentifyRule::recognise, "Quenta agent", kAgentType, "Agents"},
    {".both", IdentifyRule::recognise, "first kind", typeCode("ONE "), ""}};
const std::vector<IdentifyRule> kSecondRules{
    {".both", IdentifyRule::recognise, "second kind", typeCode("TWO "), ""},
    {".qh", IdentifyRule::recognise, "Quenta header", typeCode("QHDR"), "Headers"}};

class IdentificationTest : public ProjectTest {
  protected:
    IdentificationTest() {
        EXPECT_TRUE(gProjectManager->loadProject((home.path() / "ident.prj").c_str(), true).ok());
    }
    std::filesystem::path journal(const char* name) const { return home.path() / name; }

    // Name and type of the list that holds each of `paths`, "" for none.
    std::vector<std::string> listsOf(const std::vector<std::string>& paths) {
        std::vector<std::string> found(paths.size());
        MasterComponentList& lists = gProjectManager->getMasterComponentList();
        for (uint32_t row : lists.projectListRows()) {
            auto* file = dynamic_cast<OKAFile*>(lists.componentOfRow(row));
            auto at = std::find(paths.begin(), paths.end(), file ? file->getPathname() : "");
            ComponentList* list = lists.getNthList(row >> 16);  // a member's row holds its list
            if (at != paths.end())
                found[size_t(at - paths.begin())] =
                    list->getName() + std::string(" ") + TypeIdentToCStr(list->getTypeIdent());
        }
        return found;
    }
    std::string listOf(const std::string& path) { return listsOf({path})[0]; }
};
}  // namespace

TEST_F(IdentificationTest, FailingToolsAreLoggedAndSkipped) {
    ScriptedTool failing(journal("failing"), "failing", typeCode("FAIL"),
                         {{".err", IdentifyRule::error, "", 0, ""},
                          {".slow", IdentifyRule::silent, "", 0, ""},
                          {".eng", IdentifyRule::recognise, "engine", typeCode("ENGN"), ""},
                          {".any", IdentifyRule::recognise, "any", typeCode("****"), ""}});
    ScriptedTool backup(journal("backup"), "backup", typeCode("BACK"),
                        {{".err", IdentifyRule::recognise, "rescued", typeCode("RESC"), ""},
                         {".slow", IdentifyRule::recognise, "patient", typeCode("PATI"), ""}});
    for (ScriptedTool* tool : {&failing, &backup}) ASSERT_EQ(registerFrom(*tool), 0);
    std::vector<std::string> files;
    for (const char* name : {"a.err", "b.slow", "c.eng", "d.any"}) files.push_back(makeFile(name));
    addFiles(files);
    // Claims of the engines' or the wildcard type are not believed.
    EXPECT_EQ(listsOf(files), (std::vector<std::string>{"rescued files RESC", "patient files PATI",
                                                        "text files TEXT", "text files TEXT"}));
    EXPECT_TRUE(manager.logContains("Got back error -77 identifying file"));
    EXPECT_TRUE(manager.logContains("failed to get back reply when asking tool FAIL to identify"));
}

// The project list follows the files from list to list as a tool comes and
// goes, its selection with them; a list emptied goes. The tool registers over
// the network, so the order of its reply and the identification shows.
TEST_F(IdentificationTest, ToolsComingAndGoingMoveFilesBetweenLists) {
    LBoxObj box;
    gProjectColumns.attach(&box);
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
    std::string notes = makeFile("a.txt"), agent = makeFile("z.qa");
    addFiles({notes, agent});
    EXPECT_EQ(rowTexts(), (std::vector<std::string>{"text files", "a.txt", "z.qa"}));
    EXPECT_EQ(selectedPath(), agent);  // the new file is selected
    {
        ScriptedTool tool(journal("tool"), "tool", typeCode("TOOL"), {kAgentRule});
        std::unique_ptr<Message> registration(newRegistration(tool.info, "/opt/oka/bin/tool"));
        registration->destination = gMessageCenter->getOwnToolInfo();
        tool.send(*registration);
        ASSERT_TRUE(pollUntil(
            [&] {
                gMessageCenter->poll(0);
                return listOf(agent) == "Quenta agent files QAGT";
            },
            3000));
        // 'REGT' is answered before the identification it sets off asks anything.
        EXPECT_EQ(tool.journal().at(0), "RPLY 0");
        EXPECT_EQ(listsOf({agent, notes}),
                  (std::vector<std::string>{"Quenta agent files QAGT", "text files TEXT"}));
        EXPECT_EQ(rowTexts(),
                  (std::vector<std::string>{"Quenta agent files", "z.qa", "text files", "a.txt"}));
        EXPECT_EQ(selectedPath(), agent);
        EXPECT_EQ(deliver(newRequest("UNRT", typeCode("TOOL")), tool.info)->getLongParam(0), 0);
    }
    EXPECT_EQ(rowTexts(), (std::vector<std::string>{"text files", "a.txt", "z.qa"}));
    gProjectColumns.attach(nullptr);

    // A reload identifies the stored files again from scratch.
    manager.restart();
    EXPECT_EQ(listOf(agent), "text files TEXT");
    std::filesystem::remove(agent);
    gProjectManager->identifyAllFiles();
    EXPECT_EQ(listOf(agent), "missing files MISS");
    EXPECT_EQ(gProjectManager->getMasterComponentList().getCount(), 2);
}

// Whether tools take batches or answer 'IDFB' with -3 and are asked file by
// file, the first in registry order to recognise a file decides, nobody is
// asked about a missing one, and every tool hears of each added file's type.
TEST_F(IdentificationTest, FirstToolInRegistryOrderDecidesInBatchesOrFileByFile) {
    using Library = ScriptedTool::Library;
    std::string agent = makeFile("a.qa"), both = makeFile("x.both"), header = makeFile("h.qh");
    std::string text = makeFile("readme"), binary = makeFile("blob", std::string("\0\0", 2));
    std::string missing = (home.path() / "missing.qa").string();
    addFiles({agent, both, header, text, binary, missing});
    int round = 0;
    for (auto [firstLibrary, secondLibrary] : {std::pair{Library::batches, Library::batches},
                                               {Library::fileByFile, Library::batches},
                                               {Library::batches, Library::fileByFile},
                                               {Library::fileByFile, Library::fileByFile}}) {
        size_t logStart = manager.log().size();
        for (const char* name : {"first", "second"}) std::filesystem::remove(journal(name));
        ScriptedTool first(journal("first"), "first", typeCode("FRST"), kFirstRules, firstLibrary);
        ScriptedTool second(journal("second"), "second", typeCode("SCND"), kSecondRules,
                            secondLibrary);
        const std::pair<ScriptedTool*, Library> tools[] = {{&first, firstLibrary},
                                                           {&second, secondLibrary}};
        // A tool not yet known to take batches gets one path first: an old
        // one refuses a single path, not the whole project.
        for (auto [tool, library] : tools) {
            ASSERT_EQ(registerFrom(*tool), 0);
            EXPECT_EQ(std::ranges::count(tool->journal(), "IDFB refused 1"),
                      library == Library::fileByFile ? 1 : 0);
        }
        for (const char* name : {"first", "second"}) std::filesystem::remove(journal(name));
        gProjectManager->identifyAllFiles();
        EXPECT_EQ(listsOf({agent, both, header, text, binary, missing}),
                  (std::vector<std::string>{"Quenta agent files QAGT", "first kind files ONE ",
                                            "Quenta header files QHDR", "text files TEXT",
                                            "unidentified files ????", "missing files MISS"}));
        auto& lists = gProjectManager->getMasterComponentList();
        EXPECT_STREQ(lists.getComponentList(kAgentType)->getDescription(), "Agents");

        auto fallBacks = [&](const ScriptedTool& tool) {
            return occurrences(manager.log().substr(logStart),
                               std::string("tool ") + TypeIdentToCStr(tool.info.toolType) +
                                   " answers one file at a time");
        };
        for (auto [tool, library] : tools) {
            auto lines = tool->journal();
            bool old = library == Library::fileByFile;
            EXPECT_EQ(std::ranges::count(lines, (old ? "IDFL " : "IDFB ") + header), 1)
                << tool->info.name;
            EXPECT_EQ(std::ranges::count(lines, (old ? "IDFB " : "IDFL ") + header), 0)
                << tool->info.name;
            EXPECT_EQ(std::ranges::count(lines, "IDFB " + missing) +
                          std::ranges::count(lines, "IDFL " + missing),
                      0);
            EXPECT_EQ(fallBacks(*tool), old ? 1u : 0u) << tool->info.name;
        }
        // The second tool is not asked alone about a file that the first claimed.
        EXPECT_EQ(std::ranges::count(second.journal(), "IDFL " + agent), 0);
        std::string added = makeFile("added" + std::to_string(++round) + ".qa");
        std::string absent = (home.path() / ("absent" + std::to_string(round))).string();
        addFiles({added, absent});
        for (auto [tool, library] : tools) {
            EXPECT_TRUE(tool->waitForLine("FADD " + added + " QAGT"));
            EXPECT_TRUE(tool->waitForLine("FADD " + absent + " MISS"));
        }

        // Registering again may bring a newer library: a batch is tried again.
        for (auto [tool, library] : tools) {
            ASSERT_TRUE(gToolRegistry->unloadTool(tool->info.toolType).ok());
            ASSERT_EQ(registerFrom(*tool), 0);
            EXPECT_EQ(fallBacks(*tool), library == Library::fileByFile ? 2u : 0u);
        }
        for (auto [tool, library] : tools)
            deliver(newRequest("UNRT", tool->info.toolType), tool->info);
    }
}

// A tool dying in a batch costs one reply time, logged each second after two;
// the other tool's answers stand, and the next liveness probe unloads it.
TEST_F(IdentificationTest, ToolDyingInABatchCostsOneReplyTime) {
    std::string agent = makeFile("a.qa"), fatal = (home.path() / "src" / "b.fatal").string();
    addFiles({agent, fatal});  // the second is missing: nobody is asked about it yet
    ScriptedTool dying(journal("dying"), "dying", typeCode("DYIN"),
                       {{".fatal", IdentifyRule::dies, "", 0, ""}});
    ScriptedTool living(journal("living"), "living", typeCode("LIVE"), {kAgentRule});
    for (ScriptedTool* tool : {&living, &dying}) ASSERT_EQ(registerFrom(*tool), 0);
    makeFile("b.fatal");

    uint32_t start = currentMilliseconds();
    gProjectManager->identifyAllFiles();
    EXPECT_LT(currentMilliseconds() - start, uint32_t(kDefaultReplyTimeout + 1500));
    EXPECT_EQ(listOf(agent), "Quenta agent files QAGT");
    EXPECT_EQ(listOf(fatal), "text files TEXT");
    std::string log = manager.log();
    // Lines at 2, 3 and 4 s, and one more when the last wait ends just at 5 s.
    EXPECT_GE(occurrences(log, "Identifying files: 0 of 2"), 3u);
    EXPECT_LE(occurrences(log, "Identifying files: 0 of 2"), 4u);
    EXPECT_EQ(
        occurrences(log, "failed to get back reply when asking tool DYIN to identify 2 files"), 1u);

    dying.die();  // its process is gone, and its port with it
    clockNow += 60000;
    gToolRegistry->tickleAllTools();
    EXPECT_FALSE(gToolRegistry->toolIsLoaded(dying.info.toolType));
    EXPECT_TRUE(gToolRegistry->toolIsLoaded(living.info.toolType));
}

// Smaller counts are read in the log above and on the workspace's status line.
TEST(IdentifyProgressText, CountsWithThousandsSeparators) {
    char text[96];
    formatIdentifyProgress(text, sizeof text, 999, 1234567);
    EXPECT_STREQ(text, "Identifying files: 999 of 1,234,567");
}
