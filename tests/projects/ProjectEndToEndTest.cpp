// The project seen from outside: kelvane started headless, okasample tools
// that recognise some extensions, files added with okamsg, the queries
// answered over TCP, the project file read back independently, and the
// project reloaded after a restart.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "KelvaneHarness.h"
#include "ProjectFileReader.h"
#include "TestSupport.h"
#include "messaging/MessageCenter.h"
#include "messaging/TCPTransport.h"
#include "storage/PrefMan.h"

namespace {
class ProjectEndToEndTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The current project is stored in the preferences, below HOME.
        std::filesystem::create_directories(hub.home.okaDirectory());
        PrefMan preferences(kPreferencesFileType, kPreferencesVersion,
                            (hub.home.okaDirectory() / "kelvane.prf").c_str(), "preferences",
                            true);
        preferences.addPreference(typeCode("CPRJ"), projectFile.c_str(),
                                  long(projectFile.size()) + 1);
    }

    void startKelvane() { ASSERT_TRUE(hub.start()); }
    void stopKelvane() { EXPECT_EQ(hub.stop(), 0); }
    std::unique_ptr<ChildProcess> startSample(const std::string& type, const std::string& extension) {
        auto sample = std::make_unique<ChildProcess>(
            builtProgram("okasample"),
            std::vector<std::string>{"--name", type + " tool", "--type", type, "--extension",
                                     extension},
            hub.environment(), hub.home.path());
        EXPECT_TRUE(waitFor([&] {
            auto* look = new Message(typeCode("LOOK"), nullptr);
            look->addTypeParam(typeCodeFromBytes(type.c_str()));
            auto reply = ask(look);
            return reply && reply->getBoolParam(1);
        }));
        return sample;
    }
    // okamsg's exit status for one message, with a reply awaited.
    int okamsg(const std::vector<std::string>& arguments) {
        std::vector<std::string> all{"--reply"};
        all.insert(all.end(), arguments.begin(), arguments.end());
        ChildProcess run(builtProgram("okamsg"), all, hub.environment());
        return run.waitForExit(10000);
    }
    std::unique_ptr<Message> ask(Message* message) { return hub.ask(message, 8000); }
    // The component lists as "name TYPE" strings.
    std::vector<std::string> componentLists() {
        auto reply = ask(new Message(typeCode("GCCP"), nullptr));
        std::vector<std::string> lists;
        for (int i = 1; reply && i + 1 < reply->paramCount; i += 2) {
            char name[kPathSize];
            reply->getTextParam(i, name, sizeof name);
            lists.push_back(std::string(name) + " " + TypeIdentToCStr(reply->getTypeParam(i + 1)));
        }
        return lists;
    }
    bool waitFor(const std::function<bool()>& condition) { return hub.waitUntil(condition, 8000); }
    std::string log() const { return hub.log(); }

    KelvaneHarness hub;
    std::string projectFile = (hub.home.path() / "demo.prj").string();
};
}  // namespace

TEST_F(ProjectEndToEndTest, ToolsIdentifyAddedFilesAndTheProjectSurvivesARestart) {
    startKelvane();
    auto path = ask(new Message(typeCode("GCPP"), nullptr));
    ASSERT_TRUE(path);
    ASSERT_EQ(path->paramCount, 2);
    char stored[kPathSize];
    path->getTextParam(1, stored, sizeof stored);
    EXPECT_EQ(stored, projectFile);
    EXPECT_TRUE(std::filesystem::exists(projectFile));  // created when missing

    auto agents = startSample("AGNT", "qa:Quenta agent:QAGT:Agents");
    auto headers = startSample("HDRS", "qh:Quenta header:QHDR");
    std::string agent = (hub.home.path() / "src" / "main.qa").string();
    std::string header = (hub.home.path() / "src" / "defs.qh").string();
    std::string notes = (hub.home.path() / "src" / "notes.txt").string();
    writeFile(agent, "agent\n");
    writeFile(header, "header\n");
    writeFile(notes, "notes\n");
    for (const std::string& file : {agent, header, notes})
        EXPECT_EQ(okamsg({"ADDF", "S255:" + file}), 0) << file;
    EXPECT_EQ(okamsg({"ADDE", "S255:enginehost", "LONG:7777"}), 0);
    EXPECT_EQ(okamsg({"ADDF", "S255:/" + std::string(300, 'x')}), 4);  // refused

    EXPECT_EQ(componentLists(),
              (std::vector<std::string>{"Quenta agent files QAGT", "Quenta header files QHDR",
                                        "text files TEXT", "engines ENGN"}));
    auto* agentsOnly = new Message(typeCode("GFCP"), nullptr);
    agentsOnly->addTypeParam(typeCode("QAGT"));
    auto files = ask(agentsOnly);
    ASSERT_TRUE(files);
    ASSERT_EQ(files->paramCount, 2);
    EXPECT_EQ(files->getParamLength(1), 256);
    EXPECT_TRUE(waitFor([&] {
        return log().find("received FADD " + agent + " type QAGT") != std::string::npos &&
               log().find("received FADD " + notes + " type TEXT") != std::string::npos;
    }));

    // The project file, read without the storage code.
    auto records = recordsInFile(projectFile, "FCMP");
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(textOf(records[0]), agent);
    EXPECT_EQ(textOf(records[1]), header);
    EXPECT_EQ(textOf(records[2]), notes);
    ASSERT_EQ(recordsInFile(projectFile, "ENGN").size(), 1u);

    // Restarted without tools the files are back, as text; a tool that
    // registers identifies them again.
    stopKelvane();
    agents.reset();
    headers.reset();
    startKelvane();
    EXPECT_EQ(componentLists(),
              (std::vector<std::string>{"engines ENGN", "text files TEXT"}));
    agents = startSample("AGNT", "qa:Quenta agent:QAGT:Agents");
    EXPECT_TRUE(waitFor([&] {
        return componentLists() == std::vector<std::string>{"Quenta agent files QAGT",
                                                             "engines ENGN", "text files TEXT"};
    }));
    EXPECT_EQ(recordsInFile(projectFile, "FCMP").size(), 3u);
    stopKelvane();
}
