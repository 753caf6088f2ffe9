// The component-type pop-up: its lists, their order and its first element.
#include <string>

#include "ProjectFixture.h"
#include "projects/ComponentTypePopUp.h"
#include "projects/EngineInfo.h"
#include "projects/OKAFile.h"
#include "projects/ProjectManager.h"
#include "toolkit/widgets/CBoxObj.h"

namespace {
class ComponentTypePopUpTest : public ProjectTest {
  protected:
    void SetUp() override {
        EXPECT_TRUE(gProjectManager->loadProject((home.path() / "popup.prj").c_str(), true).ok());
        addFiles({makeFile("notes.txt"), makeFile("data.bin", std::string("\0\1", 2)),
                  home.path() / "gone.qa"});
        EXPECT_TRUE(gProjectManager->addEngineToProject(new EngineInfo("enginehost", 7777)).ok());
    }
    void TearDown() override { gDefaultComponentType = 0; }

    static std::string labels(const CBoxObj& combo) {
        std::string text;
        for (const ComboElement& element : combo.elements) text += element.label + ";";
        return text;
    }
    static std::string chosenLabel(CBoxObj& combo) {
        CBOX_GoIndex(&combo, CBOX_GetSelIndex(&combo));
        return CBOX_CurGetLabel(&combo);
    }
};
}  // namespace

TEST_F(ComponentTypePopUpTest, OffersFileListsOnlyStartsOnTheDefaultTypeAndFallsBackToTheFirst) {
    CBoxObj combo;
    CBOX_CurAddElt(&combo, "stale", 1);
    gDefaultComponentType = typeCode("????");
    buildProjectPopUp(&combo);
    // Engines and missing files are left out; the rest in master-list order.
    EXPECT_EQ(labels(combo), "text files;unidentified files;");
    EXPECT_EQ(TypeCode(combo.elements[0].clientData), typeCode("TEXT"));
    EXPECT_EQ(chosenLabel(combo), "unidentified files");
    selectPopUpItem(&combo, kEngineType);
    EXPECT_EQ(chosenLabel(combo), "text files");

    CBoxObj empty;
    selectPopUpItem(&empty, kEngineType);
    EXPECT_EQ(CBOX_GetSelIndex(&empty), -1);
}
