// The component-type pop-up: its lists, their order and its first element.
#include <string>

#include "ProjectFixture.h"
#include "projects/ComponentTypePopUp.h"
#include "projects/EngineInfo.h"
#include "projects/ProjectManager.h"
#include "toolkit/widgets/CBoxObj.h"

TEST_F(ProjectTest, TypePopUpOffersFileListsOnlyStartsOnTheDefaultTypeAndFallsBackToTheFirst) {
    EXPECT_TRUE(gProjectManager->loadProject((home.path() / "popup.prj").c_str(), true).ok());
    addFiles({makeFile("notes.txt"), makeFile("data.bin", std::string("\0\1", 2)),
              home.path() / "gone.qa"});
    EXPECT_TRUE(gProjectManager->addEngineToProject(new EngineInfo("enginehost", 7777)).ok());
    CBoxObj combo;
    CBOX_CurAddElt(&combo, "stale", 1);
    gDefaultComponentType = typeCode("????");
    buildProjectPopUp(&combo);
    gDefaultComponentType = 0;
    // The stale element went; the filter dialog's test reads the labels.
    ASSERT_EQ(combo.elements.size(), 2u);
    EXPECT_EQ(TypeCode(combo.elements[0].clientData), typeCode("TEXT"));
    EXPECT_EQ(CBOX_GetSelIndex(&combo), 1);  // the unidentified files
    selectPopUpItem(&combo, kEngineType);
    EXPECT_EQ(CBOX_GetSelIndex(&combo), 0);

    CBoxObj empty;
    selectPopUpItem(&empty, kEngineType);
    EXPECT_EQ(CBOX_GetSelIndex(&empty), -1);
}
