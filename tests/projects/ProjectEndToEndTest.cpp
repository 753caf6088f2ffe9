// The project seen from outside: kelvane started headless, okasample tools
// that recognise some extensions, files added with okamsg, the queries
// answered over TCP, and the project reloaded after a restart.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "KelvaneHarness.h"
#include "RawDatabaseFile.h"
#include "TestSupport.h"
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
        EXPECT_TRUE(preferences.addPreference(typeCode("CPRJ"), projectFile.c_str(),
                                  long(projectFile.size()) + 1).ok());
    }

    std::unique_ptr<ChildProcess> startSample(const std::string& type, const std::string& extension) {
        auto sample = std::make_unique<ChildProcess>(
            builtProgram("okasample"),
            std::vector<std::string>{"--name", type + " tool", "--type", type, "--extension",
                                     extension},
            hub.environment(), hub.home.path());
        EXPECT_TRUE(waitFor([&] { return hub.isRegistered(typeCodeFromBytes(type.c_str())); }));
        return sample;
    }
    // okamsg's exit status for one message, with a reply awaited.
    int okamsg(const std::vector<std::string>& arguments) {
        std::vector<std::string> all{"--reply"};
        all.insert(all.end(), arguments.begin(), arguments.end());
        ChildProcess run(builtProgram("okamsg"), all, hub.environment());
        return run.waitForExit(10000);
    }
    // The component lists as "name TYPE" strings.
    std::vector<std::string> componentLists() {
        auto reply = hub.ask(newRequest("GCCP"), 8000);
        std::vector<std::string> lists;
        for (int i = 1; reply && i + 1 < reply->paramCount; i += 2) {
            char name[kPathSize];
            reply->getTextParam(i, name, sizeof name);
            lists.push_back(std::string(name) + " " + TypeIdentToCStr(reply->getTypeParam(i + 1)));
        }
        return lists;
    }
    bool waitFor(const std::function<bool()>& condition) { return hub.waitUntil(condition, 8000); }

    KelvaneHarness hub;
    std::string projectFile = (hub.home.path() / "demo.prj").string();
};
}  // namespace

TEST_F(ProjectEndToEndTest, ToolsIdentifyAddedFilesAndTheProjectSurvivesARestart) {
    ASSERT_TRUE(hub.start());
    // The project named in the preferences is the current one, created when
    // missing (once kelvane answers, it has been loaded).
    auto path = hub.ask(newRequest("GCPP"), 8000);
    ASSERT_TRUE(path && path->paramCount == 2);
    char stored[kPathSize];
    path->getTextParam(1, stored, sizeof stored);
    EXPECT_EQ(stored, projectFile);
    EXPECT_TRUE(std::filesystem::exists(projectFile));

    auto agents = startSample("AGNT", "qa:Quenta agent:QAGT:Agents");
    auto headers = startSample("HDRS", "qh:Quenta header:QHDR");
    std::string agent = (hub.home.path() / "src" / "main.qa").string();
    std::string notes = (hub.home.path() / "src" / "notes.txt").string();
    for (const std::string& file : {agent, (hub.home.path() / "src" / "defs.qh").string(), notes}) {
        writeFile(file, "text\n");
        EXPECT_EQ(okamsg({"ADDF", "S255:" + file}), 0) << file;
    }
    EXPECT_EQ(okamsg({"ADDE", "S255:enginehost", "LONG:7777"}), 0);
    EXPECT_EQ(okamsg({"ADDF", "S255:/" + std::string(300, 'x')}), 4);  // refused

    EXPECT_EQ(componentLists(),
              (std::vector<std::string>{"Quenta agent files QAGT", "Quenta header files QHDR",
                                        "text files TEXT", "engines ENGN"}));
    EXPECT_TRUE(waitFor([&] {
        std::string log = hub.log();
        return log.find("received FADD " + agent + " type QAGT") != std::string::npos &&
               log.find("received FADD " + notes + " type TEXT") != std::string::npos;
    }));

    // Restarted without tools the files are back, as text; a tool that
    // registers identifies them again.
    EXPECT_EQ(hub.stop(), 0);
    agents.reset();
    headers.reset();
    ASSERT_TRUE(hub.start());
    EXPECT_EQ(componentLists(), (std::vector<std::string>{"engines ENGN", "text files TEXT"}));
    agents = startSample("AGNT", "qa:Quenta agent:QAGT:Agents");
    EXPECT_TRUE(waitFor([&] {
        return componentLists() == std::vector<std::string>{"Quenta agent files QAGT",
                                                             "engines ENGN", "text files TEXT"};
    }));
    EXPECT_EQ(rawRecordsInFile(projectFile, "FCMP").size(), 3u);
    EXPECT_EQ(hub.stop(), 0);
}
