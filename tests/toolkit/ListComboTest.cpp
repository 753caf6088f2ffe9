// List boxes and combo boxes: rows, selection and notifications.
#include <gtest/gtest.h>

#include <vector>

#include "toolkit/Toolkit.h"
#include "toolkit/automation/Automation.h"

namespace {

std::vector<int> gListCodes;         // codes seen by recordingListNfy
std::vector<ClientData> gFreedRows;  // client data of rows destroyed

void recordingListNfy(LBoxObj* list, int code) {
    gListCodes.push_back(code);
    if (code == kNfyRowDestroyed) gFreedRows.push_back(LBOX_CurGetClientData(list));
    if (code == kNfyRowActivated) return;  // handled here; everything else is the default's
    LBOX_DefNfy(list, code);
}

class ListBoxTest : public ::testing::Test {
  protected:
    void SetUp() override {
        AUTO_Reset();
        gListCodes.clear();
        gFreedRows.clear();
        list.box = makeRect16(0, 0, 100, 90);
        RES_SetNfyProcDS(&list, recordingListNfy, 0);
        LBOX_GoHome(&list);
        for (ClientData value : {11u, 22u, 33u}) {
            LBOX_CurSetClientData(&list, value);
            LBOX_GoDown(&list);
        }
    }
    LBoxObj list;  // three rows: 11, 22, 33
};

TEST_F(ListBoxTest, RowsFilledByCursorAreReplacedInPlaceAndFreedOnceByResetOrDestruction) {
    EXPECT_EQ(std::pair(LBOX_GetNumRows(&list), LBOX_CurGetClientData(&list)),
              std::pair(3, ClientData{0}));
    LBOX_GoDown(&list);  // stays past the end
    EXPECT_EQ(LBOX_CurGetClientData(&list), 0u);
    LBOX_GoHome(&list);
    LBOX_GoDown(&list);
    EXPECT_EQ(LBOX_CurGetClientData(&list), 22u);
    LBOX_CurSetClientData(&list, 99);  // replaces, does not insert
    EXPECT_EQ(std::pair(LBOX_GetNumRows(&list), LBOX_CurGetClientData(&list)),
              std::pair(3, ClientData{99}));

    LBOX_Reset(&list);
    EXPECT_EQ(gFreedRows, (std::vector<ClientData>{11, 99, 33}));
    EXPECT_EQ(LBOX_GetNumRows(&list), 0);
    LBOX_CurSetClientData(&list, 44);
    gFreedRows.clear();
    auto* owned = static_cast<LBoxObj*>(RES_Clone(&list));
    EXPECT_EQ(LBOX_GetNumRows(owned), 0);  // a clone never shares the rows' data
    WGT_Terminate(owned);
    EXPECT_TRUE(gFreedRows.empty());
    list.release();
    EXPECT_EQ(gFreedRows, (std::vector<ClientData>{44}));
}

// A click replaces the selection; a double click also activates its row.
TEST_F(ListBoxTest, ClicksSelectRowsAndDoubleClicksActivateThem) {
    LBOX_GoIndex(&list, 0);
    LBOX_CurSelect(&list);
    AUTO_RowButtonDown(&list, 1, 1, false);
    EXPECT_EQ(gListCodes, (std::vector<int>{kNfyRowMouseDown, kNfySelectionChanged}));
    LBOX_GoHome(&list);
    ASSERT_TRUE(LBOX_GoSelAllocFirst(&list));
    EXPECT_EQ(LBOX_CurGetClientData(&list), 22u);
    LBOX_GoDown(&list);
    EXPECT_FALSE(LBOX_IsCurSelected(&list));

    gListCodes.clear();
    AUTO_RowButtonDown(&list, 2, 1, true);
    EXPECT_EQ(gListCodes,
              (std::vector<int>{kNfyRowMouseDown, kNfySelectionChanged, kNfyRowActivated}));
    EXPECT_EQ(LBOX_CurGetClientData(&list), 33u);
    gListCodes.clear();
    AUTO_ButtonDown(&list, 1, false, 5, 80);  // row 4 does not exist
    EXPECT_TRUE(gListCodes.empty());
    LBOX_AllUnselect(&list);
    EXPECT_FALSE(LBOX_GoSelAllocFirst(&list));
}

// Rows are 18 pixels high, the first at the top of the list.
TEST_F(ListBoxTest, PointerMovesAndRowRectanglesFollowTheRowsAndTheVisibleArea) {
    AUTO_Move(&list, 5, 2);
    AUTO_Move(&list, 6, 3);   // same row: no new notification
    AUTO_Move(&list, 5, 20);  // row 1
    AUTO_Move(&list, 5, 80);  // below the rows
    EXPECT_EQ(gListCodes,
              (std::vector<int>{kNfyRowPointerOn, kNfyRowPointerOn, kNfyRowPointerOff}));
    AUTO_Leave(&list);

    Rect16 row, visible;
    LBOX_GoIndex(&list, 1);
    ASSERT_TRUE(LBOX_CurQueryRects(&list, &row, &visible));
    EXPECT_EQ(row, makeRect16(0, 18, 100, 18));
    list.box.height = 27;
    ASSERT_TRUE(LBOX_CurQueryRects(&list, &row, &visible));
    EXPECT_EQ(visible, makeRect16(0, 18, 100, 9));
    LBOX_GoIndex(&list, 2);
    EXPECT_FALSE(LBOX_CurQueryRects(&list, &row, &visible));
}

TEST(ComboBox, ElementsAreAddedRemovedAndChosen) {
    std::vector<int> comboCodes;  // outlives the combo box and its procedure
    CBoxObj combo;
    combo.procedure = [&comboCodes](WgtObj* widget, int code) {
        comboCodes.push_back(code);
        CBOX_DefNfy(static_cast<CBoxObj*>(widget), code);
    };
    CBOX_GoFirst(&combo);
    EXPECT_FALSE(CBOX_IsOk(&combo));
    CBOX_CurAddElt(&combo, "tcl files", 1);
    CBOX_CurAddElt(&combo, "c files", 2);
    CBOX_CurAddElt(&combo, "engines", 3);
    EXPECT_EQ(CBOX_GetMaxElts(&combo), 3);

    CBOX_GoIndex(&combo, 1);
    CBOX_CurSelect(&combo);
    EXPECT_STREQ(TED_GetStr(CBOX_GetTEd(&combo)), "c files");
    EXPECT_TRUE(comboCodes.empty());  // programmatic choice: no notification

    CBOX_GoFirst(&combo);
    CBOX_CurRemoveElt(&combo);  // the chosen element moves down with the rest
    EXPECT_STREQ(CBOX_CurGetLabel(&combo), "c files");
    EXPECT_EQ(CBOX_GetSelIndex(&combo), 0);

    AUTO_ChooseElement(&combo, 1);
    EXPECT_EQ(comboCodes, (std::vector<int>{kNfyEltChosen}));
    EXPECT_EQ(CBOX_CurGetClientData(&combo), 3u);
    EXPECT_STREQ(TED_GetStr(CBOX_GetTEd(&combo)), "engines");

    while (CBOX_GoFirst(&combo), CBOX_IsOk(&combo)) CBOX_CurRemoveElt(&combo);
    EXPECT_EQ(CBOX_GetSelIndex(&combo), -1);
    EXPECT_STREQ(TED_GetStr(CBOX_GetTEd(&combo)), "");
}

}  // namespace
