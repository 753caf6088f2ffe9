// The file picker on temporary directory trees.
#include <algorithm>

#include "ToolManagerTest.h"
#include "projects/ComponentTypePopUp.h"
#include "projects/ProjectManager.h"
#include "toolkit/automation/Automation.h"
#include "workspace/FilePicker.h"

namespace fs = std::filesystem;

namespace {

struct PickerView {
    WinObj* window;

    WgtObj* child(int index) const { return RES_GetNthChild(window, index); }
    LBoxObj* diskList() const { return static_cast<LBoxObj*>(child(0)); }
    LBoxObj* projectList() const { return static_cast<LBoxObj*>(child(2)); }
    TEdObj* nameField() const { return static_cast<TEdObj*>(child(6)); }
    TEdObj* filterField() const { return static_cast<TEdObj*>(child(7)); }
    TButObj* button(int index) const { return static_cast<TButObj*>(child(index)); }

    static std::vector<std::string> rows(LBoxObj* list) {
        std::vector<std::string> texts;
        for (const ListRow& row : list->rows)
            texts.push_back(reinterpret_cast<const char*>(row.clientData));
        return texts;
    }
    std::vector<std::string> diskRows() const { return rows(diskList()); }
    std::string name() const { return TED_GetStr(nameField()); }
    void typeName(const std::string& path) const { AUTO_EditText(nameField(), path.c_str()); }
    void ok() const { AUTO_Activate(button(3)); }
    void doubleClick(const std::string& row) const {
        std::vector<std::string> texts = diskRows();
        AUTO_RowButtonDown(diskList(), int(std::ranges::find(texts, row) - texts.begin()), 1, true);
    }
    void filter(const char* text) const {
        AUTO_EditText(filterField(), text);
        AUTO_PressEnter(filterField());
    }
};

class FilePickerTest : public ToolManagerTest {
  protected:
    FilePickerTest() {
        root = manager.home.path() / "tree";
        fs::create_directories(root / "sub" / "deep");
        for (const char* file : {"one.prj", "notes.txt", "sub/deep/found.prj"})
            writeFile(root / file, "");
        gProjectManager->setFilePickerDirectory(root.c_str());
    }

    // Runs `steps` in the next picker, then leaves it to its own end.
    static void inPicker(std::function<void(const PickerView&)> steps) {
        AUTO_ScriptModal("filePicker", [steps](WinObj* window) { steps(PickerView{window}); });
    }
    bool pickFile(int mode, const char* filter, bool mustExist) {
        return chooseFile(mode, result, sizeof result, "Pick", nullptr, filter, mustExist, true);
    }

    fs::path root;
    char result[256] = "";
};

}  // namespace

TEST_F(FilePickerTest, ListsDirectoriesAndMatchingFilesAndAcceptsADoubleClickedFile) {
    inPicker([&](const PickerView& picker) {
        EXPECT_EQ(picker.diskRows(), (std::vector<std::string>{".", "..", "one.prj", "sub"}));
        EXPECT_EQ(picker.name(), root.string() + "/");  // "." is selected
        // Without the Disk and Project buttons, the prompt stands in their place.
        EXPECT_STREQ(TAREA_GetLabel(static_cast<TAreaObj*>(picker.child(13))), "Pick");
        EXPECT_TRUE(WGT_IsVisible(picker.child(13)));
        picker.doubleClick("sub");  // enters the directory
        EXPECT_EQ(picker.diskRows(), (std::vector<std::string>{".", "..", "deep"}));
        picker.doubleClick("..");
        picker.doubleClick("one.prj");
    });
    EXPECT_TRUE(pickFile(kPickerDisk, "*.prj", true));
    EXPECT_EQ(std::string(result), (root / "one.prj").string());
    // The picker's last directory went back to the Tool Manager.
    EXPECT_EQ(std::string(gProjectManager->getFilePickerDirectory()), root.string());
}

TEST_F(FilePickerTest, OnePickerAtATimeTheTopHasNoParentRowAndAVanishedDirectoryFallsBack) {
    std::vector<std::string> shown;
    gProjectManager->setFilePickerDirectory("/");
    inPicker([&](const PickerView& picker) {
        shown = picker.diskRows();
        char other[256];
        EXPECT_FALSE(
            chooseFile(kPickerDisk, other, sizeof other, "Again", nullptr, nullptr, true, true));
        EXPECT_FALSE(chooseDirectory(other, sizeof other, "Again", nullptr, nullptr, true));
    });
    EXPECT_FALSE(pickFile(kPickerDisk, "*.none", true));  // unanswered: cancelled
    EXPECT_EQ(AUTO_BeepCount(), 1);  // only chooseFile beeps: the refusals were asked
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown[0], ".");
    EXPECT_NE(shown[1], "..");

    // The picker's directory disappears while it is open: the next refresh
    // shows the process's current directory.
    std::string nameAfterRefresh;
    gProjectManager->setFilePickerDirectory((root / "sub").c_str());
    inPicker([&](const PickerView& picker) {
        fs::remove_all(root / "sub");
        picker.filter("*.x");
        nameAfterRefresh = picker.name();
    });
    EXPECT_FALSE(pickFile(kPickerDisk, nullptr, true));
    EXPECT_EQ(nameAfterRefresh, fs::current_path().string() + "/");
}

TEST_F(FilePickerTest, AnExistingFileIsReplacedOnlyWhenTheUserConfirms) {
    answerNextAlert(2);  // Cancel: the picker stays open
    answerNextAlert(1);  // Replace
    inPicker([&](const PickerView& picker) {
        picker.typeName((root / "one.prj").string());
        picker.ok();
        EXPECT_FALSE(picker.window->modalEnded);
        picker.ok();
    });
    EXPECT_TRUE(pickFile(kPickerDisk, "*.prj", false));
    ASSERT_EQ(alerts.size(), 2u);
    EXPECT_EQ(alerts[0].title, "Replace existing file?");
    EXPECT_EQ(alerts[0].message, "Are you sure you want to replace one.prj?");
    EXPECT_EQ(std::string(result), (root / "one.prj").string());
}

// Return in the name field opens what was typed, or refuses it with a beep.
TEST_F(FilePickerTest, TypedNamesAreRefusedWhenMissingAndMustExistOrTooLong) {
    struct Typed {
        std::string name;
        bool mustExist;
        std::string chosen;  // the answer, empty when refused
    };
    const Typed cases[] = {
        {(root / "missing.prj").string(), true, ""},
        {"/" + std::string(300, 'x'), false, ""},
        {"new.prj", false, (root / "new.prj").string()}};  // in the shown directory
    int beeps = 0;
    for (const Typed& typed : cases) {
        SCOPED_TRACE(typed.name.substr(0, 40));
        inPicker([&](const PickerView& picker) {
            picker.typeName(typed.name);
            AUTO_PressEnter(picker.nameField());
            EXPECT_EQ(bool(picker.window->modalEnded), !typed.chosen.empty());
        });
        EXPECT_EQ(pickFile(kPickerDisk, "*.prj", typed.mustExist), !typed.chosen.empty());
        beeps += typed.chosen.empty() ? 1 : 0;
        EXPECT_EQ(AUTO_BeepCount(), beeps);
        EXPECT_EQ(std::string(result), typed.chosen);
    }
}

TEST_F(FilePickerTest, AMissingDirectoryIsRefusedByBeepAndMessageInTurn) {
    answerNextAlert(1);
    inPicker([&](const PickerView& picker) {
        EXPECT_FALSE(WGT_IsVisible(picker.child(9)));
        EXPECT_EQ(std::string(TBUT_GetLabel(picker.button(3))), "Open Directory");
        // Only directories are listed in directory mode.
        EXPECT_EQ(picker.diskRows(), (std::vector<std::string>{".", "..", "sub"}));
        picker.typeName((root / "nowhere").string());
        for (int i = 0; i < 3; ++i) AUTO_Activate(picker.button(11));
        picker.typeName((root / "sub").string() + "///");
        AUTO_Activate(picker.button(11));
    });
    EXPECT_TRUE(chooseDirectory(result, sizeof result, "Dir", nullptr, "*", true));
    EXPECT_EQ(AUTO_BeepCount(), 2);
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].title, "Replace existing file?");  // the picker's one alert window
    EXPECT_EQ(alerts[0].message,
              (root / "nowhere").string() +
                  " does not exist, please select and accept an existing directory.");
    EXPECT_EQ(std::string(result), (root / "sub").string());
}

TEST_F(FilePickerTest, TheFilterIsCaseSensitiveAndAnEmptyOneMatchesEverything) {
    writeFile(root / "UPPER.PRJ", "");
    // Hidden names show only for a filter that asks for them.
    fs::create_directories(root / ".settings");
    writeFile(root / ".profile", "");
    inPicker([&](const PickerView& picker) {
        picker.filter("*.txt;.*");
        EXPECT_EQ(picker.diskRows(), (std::vector<std::string>{".", "..", ".profile", ".settings",
                                                               "notes.txt", "sub"}));
        picker.filter("*.txt");
        EXPECT_EQ(picker.diskRows(), (std::vector<std::string>{".", "..", "notes.txt", "sub"}));
        picker.filter("*.PRJ");
        EXPECT_EQ(picker.diskRows(), (std::vector<std::string>{".", "..", "UPPER.PRJ", "sub"}));
        picker.filter("");
        EXPECT_EQ(std::string(TED_GetStr(picker.filterField())), "");
        EXPECT_EQ(picker.diskRows().size(), 6u);
        // A run of wildcards is literal text: no file is named "**?".
        picker.filter("**?");
        EXPECT_EQ(picker.diskRows(), (std::vector<std::string>{".", "..", "sub"}));
    });
    EXPECT_FALSE(pickFile(kPickerDisk, "*.prj", true));
}

TEST_F(FilePickerTest, FindOffersMatchesDepthFirstAndEndsInASymbolicLinkLoop) {
    fs::create_symlink(root, root / "sub" / "loop");
    answerNextAlert(2);  // Continue past the first offer
    answerNextAlert(1);  // Select the second
    inPicker([&](const PickerView& picker) {
        AUTO_Activate(picker.button(4));
        EXPECT_EQ(picker.name(), (root / "sub" / "deep" / "found.prj").string());
        EXPECT_EQ(picker.diskRows(), (std::vector<std::string>{".", "..", "found.prj"}));
        LBOX_GoSelAllocFirst(picker.diskList());
        EXPECT_STREQ(reinterpret_cast<const char*>(LBOX_CurGetClientData(picker.diskList())),
                     "found.prj");
    });
    EXPECT_FALSE(pickFile(kPickerDisk, "*.prj", true));
    ASSERT_EQ(alerts.size(), 2u);
    EXPECT_EQ(alerts[0].title, "Find");
    EXPECT_EQ(alerts[0].message, "Found " + (root / "one.prj").string());
    EXPECT_EQ(alerts[1].message, "Found " + (root / "sub" / "deep" / "found.prj").string());

    // Cancel at the first offer changes neither the name nor the directory.
    alerts.clear();
    answerNextAlert(3);
    inPicker([&](const PickerView& picker) {
        std::string before = picker.name();
        AUTO_Activate(picker.button(4));
        EXPECT_EQ(picker.name(), before);
    });
    gProjectManager->setFilePickerDirectory(root.c_str());
    EXPECT_FALSE(pickFile(kPickerDisk, "*.prj", true));
    EXPECT_EQ(alerts.size(), 1u);
    EXPECT_EQ(std::string(gProjectManager->getFilePickerDirectory()), root.string());

    // Nothing matches: the search visits the loop once and ends unanswered.
    inPicker([&](const PickerView& picker) { AUTO_Activate(picker.button(4)); });
    EXPECT_FALSE(pickFile(kPickerDisk, "*.nothing", true));
}

TEST_F(FilePickerTest, ProjectModeListsTheFilesOfTheChosenType) {
    EXPECT_TRUE(gProjectManager->loadProject((root / "mode.prj").c_str(), true).ok());
    EXPECT_TRUE(gProjectManager->addFileToProject((root / "notes.txt").c_str()).ok());  // TEXT
    writeFile(root / "data.bin", std::string("\0\1", 2));
    EXPECT_TRUE(gProjectManager->addFileToProject((root / "data.bin").c_str()).ok());  // ????
    std::vector<std::string> textFiles, otherFiles;
    inPicker([&](const PickerView& picker) {
        EXPECT_TRUE(WGT_IsVisible(picker.child(9)));
        AUTO_Activate(static_cast<TButObj*>(RES_GetNthChild(picker.child(9), 1)));
        EXPECT_FALSE(WGT_IsVisible(picker.diskList()));
        EXPECT_FALSE(WGT_IsEnabled(picker.button(4)));
        picker.ok();  // no project file chosen yet: the emptied name is refused
        EXPECT_FALSE(picker.window->modalEnded);
        auto* types = static_cast<CBoxObj*>(picker.child(1));
        for (int i = 0; i < CBOX_GetMaxElts(types); ++i) {
            AUTO_ChooseElement(types, i);
            CBOX_GoIndex(types, i);
            auto& rows =
                TypeCode(CBOX_CurGetClientData(types)) == typeCode("TEXT") ? textFiles : otherFiles;
            rows = PickerView::rows(picker.projectList());
        }
        AUTO_RowButtonDown(picker.projectList(), 0, 1, true);
    });
    EXPECT_TRUE(pickFile(kPickerBoth, nullptr, true));
    EXPECT_EQ(textFiles, (std::vector<std::string>{(root / "notes.txt").string()}));
    EXPECT_EQ(otherFiles, (std::vector<std::string>{(root / "data.bin").string()}));
    EXPECT_EQ(std::string(result), (root / "data.bin").string());
    EXPECT_NE(gDefaultComponentType, 0u);

    // The project choice is remembered for the next mode-0 picker.
    bool projectShown = false;
    inPicker([&](const PickerView& picker) { projectShown = WGT_IsVisible(picker.projectList()); });
    pickFile(kPickerBoth, nullptr, true);
    EXPECT_TRUE(projectShown);
    gDefaultComponentType = 0;
}
