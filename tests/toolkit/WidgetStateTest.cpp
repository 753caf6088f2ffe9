// Widget state kept by the toolkit itself, without a window system.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "toolkit/Toolkit.h"
#include "toolkit/automation/Automation.h"
#include "toolkit/base/ImageFile.h"

namespace {

TEST(TextField, InsertionReplacesTheSelectionAndMovesTheInsertionPoint) {
    TEdObj field;
    TED_SetStr(&field, "/usr/include");
    TED_SelectRange(&field, 5, 12);
    EXPECT_STREQ(TED_GetSelStr(&field), "include");
    TED_InsertStr(&field, "lib");
    EXPECT_STREQ(TED_GetStr(&field), "/usr/lib");
    TED_InsertStr(&field, "\n");  // after the inserted text, not at its start
    EXPECT_STREQ(TED_GetStr(&field), "/usr/lib\n");
    TED_SetInsertPos(&field, 0);
    TED_InsertStr(&field, ">");
    EXPECT_STREQ(TED_GetStr(&field), ">/usr/lib\n");
    TED_SelectRange(&field, 50, 2);  // clamped and put in order
    EXPECT_STREQ(TED_GetSelStr(&field), "usr/lib\n");
    TED_SelectAll(&field);
    EXPECT_EQ(TED_GetStrLen(&field), int(std::string(TED_GetSelStr(&field)).size()));
    TED_ClearAll(&field);
    EXPECT_EQ(TED_GetStrLen(&field), 0);
}

TEST(Buttons, RadioButtonsExcludeEachOtherTogglesFlipAndReturnPressesTheOneDefault) {
    auto* window = new WinObj;
    auto* disk = new TButObj;
    auto* project = new TButObj;
    auto* toggle = new TButObj;
    auto* ok = new TButObj;
    auto* cancel = new TButObj;
    disk->style = project->style = ButtonStyle::Radio;
    toggle->style = ButtonStyle::Toggle;
    disk->selected = true;
    for (TButObj* button : {disk, project, toggle, ok, cancel}) PANEL_AddWgt(window, button);
    bool selectedWhenNotified = false;
    project->procedure = [&selectedWhenNotified](WgtObj* widget, int code) {
        if (code == kNfyActivated) selectedWhenNotified = static_cast<TButObj*>(widget)->selected;
    };
    AUTO_Activate(project);
    EXPECT_TRUE(selectedWhenNotified);  // the state changes before the procedure hears of it
    EXPECT_FALSE(TBUT_GetSelected(disk));
    AUTO_Activate(toggle);
    AUTO_Activate(toggle);
    EXPECT_FALSE(TBUT_GetSelected(toggle));
    EXPECT_TRUE(TBUT_GetSelected(project));  // toggles are no radio buttons

    TBUT_SetDefButton(ok);
    TBUT_SetDefButton(cancel);  // only one default per window
    int activations = 0;
    cancel->procedure = [&activations](WgtObj*, int code) { activations += code == kNfyActivated; };
    ok->procedure = [](WgtObj*, int code) { ASSERT_NE(code, kNfyActivated); };
    AUTO_KeyPress(window, kKeyReturn);
    EXPECT_EQ(activations, 1);
    EXPECT_FALSE(ok->isDefault);
    WIN_TerminateGetStatus(window);
}

TEST(ScrollPanel, ShowingAWidgetScrollsAndMovesItsChildrensWindowPositions) {
    auto* window = new WinObj;
    auto* area = new SPanlObj;
    area->box = makeRect16(100, 50, 200, 100);
    auto* list = new LBoxObj;
    list->box = makeRect16(420, 10, 130, 80);
    PANEL_AddWgt(window, area);
    PANEL_AddWgt(area, list);
    SPANL_SetExt(area, 600, 100);
    SPANL_ShowWidget(area, list);
    EXPECT_EQ(area->scrollX, 350);  // the list's right edge meets the area's
    int x = 0, y = 0;
    list->windowOrigin(&x, &y);
    EXPECT_EQ(std::pair(x, y), std::pair(100 + 420 - 350, 60));
    // A click at a window position lands on the row drawn there.
    LBOX_CurSetClientData(list, 5);
    LBOX_GoDown(list);
    LBOX_CurSetClientData(list, 6);
    int row = -1;
    list->procedure = [&row](WgtObj* widget, int code) {
        if (code == kNfyRowMouseDown) row = static_cast<LBoxObj*>(widget)->cursor;
    };
    AUTO_RowButtonDown(list, 1, 1, false);
    EXPECT_EQ(row, 1);
    int width = 0;
    SAREA_QueryInfo(area, &width, nullptr);
    EXPECT_EQ(width, kScrollBarSize);
    WIN_TerminateGetStatus(window);
}

TEST(Cloning, ClonesCopyTheTreeButNotTheParent) {
    PanelObj panel;
    panel.name = "tools";
    auto* label = new TAreaObj;
    label->name = "caption";
    TAREA_SetLabel(label, "Project");
    PANEL_AddWgt(&panel, label);
    PanelObj* copy = PANEL_Clone(&panel);
    ASSERT_EQ(copy->childCount(), 1);
    EXPECT_STREQ(TAREA_GetLabel(static_cast<TAreaObj*>(RES_GetNthChild(copy, 0))), "Project");
    EXPECT_EQ(RES_GetNthChild(copy, 0)->parent, copy);
    EXPECT_EQ(copy->parent, nullptr);
    EXPECT_NE(RES_GetNthChild(copy, 0), label);
    WGT_Terminate(copy);
}

// A truncated header or an image without width is no image.
TEST(ImageFiles, SizesComeFromXpmPngAndGifHeaders) {
    const std::pair<std::string, int> images[] = {
        // content, width * 100 + height or -1 if refused
        {"/* XPM */\nstatic const char* a[] = {\n\"17 16 2 1\",\n", 1716},
        {std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x20\0\0\0\x18", 24), 3224},
        {std::string("GIF89a\x60\x00\x30\x00", 10), 9648},
        {std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), -1},
        {std::string("GIF89a\x00\x00\x30\x00", 10), -1},
        {"not an image", -1}};
    std::string path = testing::TempDir() + "image";
    int width = 0, height = 0;
    for (const auto& [content, size] : images) {
        std::ofstream(path, std::ios::binary) << content;
        EXPECT_EQ(readImageSize(path.c_str(), &width, &height) ? width * 100 + height : -1, size)
            << content;
    }
    EXPECT_FALSE(readImageSize((testing::TempDir() + "none.png").c_str(), &width, &height));
    IconObj icon;
    EXPECT_FALSE(ICON_SetFileName(&icon, path.c_str()));  // holds the last, "not an image"
    EXPECT_TRUE(icon.file.empty());                       // a failed load keeps the previous image
}

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
