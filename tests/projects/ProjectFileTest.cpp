// The project file, its records checked by an independent reader of the format.
#include <filesystem>
#include <string>
#include <vector>

#include "ProjectFixture.h"
#include "RawDatabaseFile.h"
#include "projects/EngineInfo.h"
#include "projects/ProjectManager.h"
#include "projects/ProjectRecords.h"
#include "storage/PrefMan.h"

namespace {
class ProjectFileTest : public ProjectTest {
  protected:
    std::filesystem::path projectPath() const { return home.path() / "demo.prj"; }
    // A view record: mode, pattern, width, two bytes of padding, type and type name.
    static std::string viewBytes(uint32_t mode, const std::string& pattern, uint16_t width,
                                 TypeCode type, const std::string& typeName) {
        return bigEndian(mode, 4) + padded(pattern) + bigEndian(width, 2) + std::string(2, '\0') +
               bigEndian(type, 4) + padded(typeName);
    }
};
}  // namespace

TEST_F(ProjectFileTest, RecordsFollowTheMasterListAndSurviveARestart) {
    EXPECT_TRUE(gProjectManager->loadProject(projectPath().c_str(), true).ok());
    ASSERT_TRUE(gProjectManager->getProjectFile().isOpen());
    EXPECT_STREQ(gProjectManager->getProjectTitle(), "OKA Project: demo.prj");
    std::string notes = makeFile("zeta/notes.txt"), early = makeFile("aaa.txt");
    std::string binary = makeFile("alpha/zz.bin", std::string("\0\1\2", 3));
    std::string gone = (home.path() / "gone.qa").string();
    addFiles({notes, binary, gone, early});
    ASSERT_TRUE(gProjectManager->addEngineToProject(new EngineInfo("enginehost", 7777)).ok());

    // Lists sorted by name, members by base name.
    auto files = rawRecordsInFile(projectPath(), "FCMP");
    EXPECT_EQ(files, (std::vector<std::string>{padded(gone), padded(early), padded(notes),
                                               padded(binary)}));
    EXPECT_EQ(rawRecordsInFile(projectPath(), "ENGN"),
              std::vector<std::string>{engineBytes("enginehost", 7777)});
    EXPECT_EQ(rawRecordsInFile(projectPath(), "MWTH"),
              std::vector<std::string>{bigEndian(gProjectManager->getProjectListWidth(), 2)});

    // The stored project comes back after a restart, with the same records.
    manager.restart();
    ASSERT_TRUE(gProjectManager->getProjectFile().isOpen());
    MasterComponentList& lists = gProjectManager->getMasterComponentList();
    EXPECT_EQ(listNames(lists), (std::vector<std::string>{"engines", "missing files", "text files",
                                                          "unidentified files"}));
    EXPECT_EQ(rawRecordsInFile(projectPath(), "FCMP"), files);

    // Removing saves at once; removing what is not there saves nothing.
    EXPECT_TRUE(gProjectManager->removeFileFromProject(typeCode("TEXT"), early.c_str()).ok());
    EXPECT_EQ(rawRecordsInFile(projectPath(), "FCMP").size(), 3u);
    std::string after = readFile(projectPath());
    EXPECT_TRUE(gProjectManager->removeFileFromProject(typeCode("TEXT"), "/no/such/file").ok());
    EXPECT_TRUE(gProjectManager->removeEngineFromProject("enginehost", 1).ok());
    EXPECT_EQ(readFile(projectPath()), after);
    EXPECT_TRUE(gProjectManager->removeEngineFromProject("enginehost", 7777).ok());
    EXPECT_TRUE(rawRecordsInFile(projectPath(), "ENGN").empty());
    EXPECT_EQ(lists.lookUpComponentList(kEngineType), -1);
}

TEST_F(ProjectFileTest, ViewsAreStoredAndRestored) {
    EXPECT_TRUE(gProjectManager->loadProject(projectPath().c_str(), true).ok());
    ComponentView* byName = gProjectManager->addComponentView();
    byName->setFilter("*.qa");
    byName->setListWidth(210);
    ComponentView* byType = gProjectManager->addComponentView();
    byType->setFilterMode(kFilterByType);
    byType->setFilterComponentType(typeCode("TEXT"), "text files");
    gProjectManager->setProjectListWidth(175);
    EXPECT_TRUE(gProjectManager->saveProject().ok());

    EXPECT_EQ(rawRecordsInFile(projectPath(), "VIEW"),
              (std::vector<std::string>{viewBytes(1, "*.qa", 210, typeCode("****"), "any type"),
                                        viewBytes(2, "*", 130, typeCode("TEXT"), "text files")}));

    // ComponentViewsTest reads views and widths back in detail; here across a restart.
    manager.restart();
    ASSERT_EQ(gProjectManager->getNumberOfComponentViews(), 2);
    EXPECT_STREQ(gProjectManager->getNthComponentView(0)->getLabelText(), "*.qa");
    EXPECT_EQ(gProjectManager->getNthComponentView(2), nullptr);
}

TEST_F(ProjectFileTest, NoWidthRecordMeansNoViews) {
    {
        PrefMan file(kProjectFileType, kProjectVersion, projectPath().c_str(), "project", true);
        for (auto [type, record] :
             {std::pair{kViewRecord, viewBytes(1, "*", 130, kWildcardType, "any type")},
              {kFileRecord, padded("/nowhere/a.qa")}})
            EXPECT_TRUE(file.addPreference(type, record.data(), long(record.size())).ok());
    }
    EXPECT_TRUE(gProjectManager->loadProject(projectPath().c_str(), false).ok());
    EXPECT_EQ(gProjectManager->getNumberOfComponentViews(), 0);
    EXPECT_EQ(gProjectManager->getLastError(), 0);
    EXPECT_EQ(gProjectManager->getMasterComponentList().getCount(), 1);
}

TEST_F(ProjectFileTest, CurrentProjectPathLivesInThePreferences) {
    // The first start's untitled project is reopened from another folder.
    std::string untitled = (std::filesystem::current_path() / "untitled.prj").string();
    EXPECT_EQ(gProjectManager->getProjectPath(), untitled);
    std::filesystem::path elsewhere = home.path() / "elsewhere";
    std::filesystem::create_directories(elsewhere);
    std::filesystem::current_path(elsewhere);
    manager.restart();
    std::filesystem::current_path(home.path());
    EXPECT_EQ(gProjectManager->getProjectPath(), untitled);
    EXPECT_FALSE(std::filesystem::exists(elsewhere / "untitled.prj"));

    EXPECT_TRUE(gProjectManager->setProjectPath(projectPath().c_str()).ok());
    EXPECT_EQ(gPreferencesManager->readPreferencesOfType(typeCode("CPRJ")).valueOr({}),
              std::vector<std::string>{projectPath().string() + '\0'});

    // A fresh manager reads it back; a missing file is created on loading.
    manager.restart();
    EXPECT_EQ(gProjectManager->getProjectPath(), projectPath().string());
    EXPECT_TRUE(gProjectManager->validProjectFile(projectPath().c_str()));
    EXPECT_FALSE(gProjectManager->validProjectFile((home.path() / "none.prj").c_str()));
}

TEST_F(ProjectFileTest, ForeignDamagedAndOldFilesAreLeftAlone) {
    EXPECT_TRUE(gProjectManager->loadProject(projectPath().c_str(), true).ok());
    addFiles({makeFile("kept.txt")});
    std::string good = readFile(projectPath());

    std::filesystem::path foreign = home.path() / "foreign.prj", old = home.path() / "old.prj";
    PrefMan(typeCode("TPRF"), 2, foreign.c_str(), "preferences", true);
    PrefMan(kProjectFileType, 2, old.c_str(), "project", true);
    writeFile(home.path() / "damaged.prj", good.substr(0, 30));
    writeFile(home.path() / "text.prj", "not a database at all, just words\n");

    for (const char* name : {"foreign.prj", "damaged.prj", "old.prj", "text.prj"}) {
        std::filesystem::path path = home.path() / name;
        std::string bytes = readFile(path);
        EXPECT_TRUE(gProjectManager->loadProject(path.c_str(), false).ok());
        EXPECT_FALSE(gProjectManager->getProjectFile().isOpen()) << path;
        EXPECT_STREQ(gProjectManager->getProjectTitle(), "OKA Project: file missing or invalid");
        EXPECT_EQ(gProjectManager->getMasterComponentList().getCount(), 0);
        // Nothing is written to a file that is not open.
        addFiles({makeFile("later.txt")});
        EXPECT_EQ(readFile(path), bytes) << path;
    }
    EXPECT_FALSE(gProjectManager->validProjectFile(old.c_str()));

    EXPECT_TRUE(gProjectManager->loadProject(projectPath().c_str(), false).ok());
    EXPECT_TRUE(gProjectManager->getProjectFile().isOpen());
    EXPECT_EQ(rawRecordsInFile(projectPath(), "FCMP").size(), 1u);
}

TEST_F(ProjectFileTest, OverLongPathsAreRefused) {
    EXPECT_TRUE(gProjectManager->loadProject(projectPath().c_str(), true).ok());
    std::string longPath = "/" + std::string(300, 'p');
    EXPECT_EQ(gProjectManager->addFileToProject(longPath.c_str()).code(), -802);
    std::string justFits = "/" + std::string(254, 'q');
    addFiles({justFits});
    EXPECT_EQ(rawRecordsInFile(projectPath(), "FCMP"), std::vector<std::string>{justFits + '\0'});
    EXPECT_EQ(
        gProjectManager->addEngineToProject(new EngineInfo(std::string(32, 'm').c_str(), 1)).code(),
        -802);
    EXPECT_TRUE(
        gProjectManager->addEngineToProject(new EngineInfo(std::string(31, 'm').c_str(), 1)).ok());
    EXPECT_EQ(recordText(rawRecordsInFile(projectPath(), "ENGN")[0]), std::string(31, 'm'));
    // Refusing another project leaves the open one as it was.
    EXPECT_EQ(gProjectManager->loadProject(longPath.c_str(), false).code(), -802);
    EXPECT_TRUE(gProjectManager->getProjectFile().isOpen());
    EXPECT_EQ(gProjectManager->getMasterComponentList().getCount(), 2);
    EXPECT_TRUE(gProjectManager->saveProject().ok());
    EXPECT_EQ(rawRecordsInFile(projectPath(), "FCMP").size(), 1u);
}

// A batched rewrite holds exactly its records; growing one at a time keeps the file small.
TEST(PrefManBatchTest, RewriteMatchesRecordByRecordAndGrowsGeometrically) {
    TempHome home;
    std::filesystem::path batched = home.path() / "batched.prf";
    PrefMan byBatch(kProjectFileType, 1, batched.c_str(), "project", true);

    std::vector<std::string> texts;
    for (int n = 0; n < 1000; ++n) {
        texts.push_back("record " + std::to_string(n) + std::string(size_t(n % 7), '+'));
        std::vector<PreferenceRecord> records;
        for (const std::string& text : texts) records.push_back({text.data(), long(text.size())});
        ASSERT_TRUE(
            byBatch.replacePreferencesOfType(kFileRecord, records.data(), long(records.size()))
                .ok());
    }
    EXPECT_EQ(byBatch.readPreferencesOfType(kFileRecord).valueOr({}), texts);
    EXPECT_EQ(rawRecordsInFile(batched, "FCMP"), texts);
    // Doubling capacity: the file stays within a small multiple of its data.
    EXPECT_LT(std::filesystem::file_size(batched), 8 * 1000 * 20u);

    // Shrinking to nothing.
    EXPECT_TRUE(byBatch.replacePreferencesOfType(kFileRecord, nullptr, 0).ok());
    EXPECT_EQ(byBatch.countPreferencesOfType(kFileRecord).valueOr(-1), 0);
    EXPECT_TRUE(byBatch.readPreferencesOfType(kFileRecord).valueOr({"failed"}).empty());
    PreferenceRecord bad{"x", -1};
    EXPECT_FALSE(byBatch.replacePreferencesOfType(kFileRecord, &bad, 1).ok());
    EXPECT_TRUE(byBatch.readPreferencesOfType(typeCode("NONE")).valueOr({"failed"}).empty());
}
