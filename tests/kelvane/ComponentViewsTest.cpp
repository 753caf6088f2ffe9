// Component views in the workspace, and what the project file keeps of them.
#include "RawDatabaseFile.h"
#include "WorkspaceFixture.h"
#include "kelvane/ColumnResize.h"
#include "kelvane/ComponentArea.h"
#include "projects/ProjectRecords.h"
#include "workspace/WindowManager.h"

namespace {
const uint8_t* bytes(const std::string& record) {
    return reinterpret_cast<const uint8_t*>(record.data());
}

// Each column's left edge and width, the project list's first.
using Columns = std::vector<std::pair<int, int>>;

class ComponentViewsTest : public WorkspaceTest {
  protected:
    static Columns columns() {
        Columns placed;
        for (long n = 0; n < gProjectColumns.getNumberOfColumns(); ++n) {
            ListColumn column = gProjectColumns.getColumn(n);
            placed.emplace_back(column.list->box.x, columnWidth(column));
        }
        return placed;
    }
    // Drags boundary `boundary` by the horizontal moves `steps` (window
    // coordinates follow from the area's place in the window).
    void drag(int boundary, const std::vector<int>& steps) {
        int x = gProjectColumns.getColumn(boundary).list->box.right() + 4, y = 40;
        int originX = 0, originY = 0;
        area()->windowOrigin(&originX, &originY);
        std::vector<std::pair<int, int>> positions;
        int pointer = originX + x;
        for (int step : steps) positions.emplace_back(pointer += step, originY + y);
        AUTO_ScriptDrag(positions);
        AUTO_ButtonDown(area(), 1, false, x, y);
    }
    // The widths the project file holds: the project list's, then each view's.
    std::vector<int> savedWidths() const {
        std::vector<int> widths;
        for (const std::string& record : rawRecordsInFile(projectPath(), "MWTH"))
            if (int16_t width = 0; decodeListWidthRecord(bytes(record), long(record.size()), width))
                widths.push_back(width);
        for (const std::string& record : rawRecordsInFile(projectPath(), "VIEW"))
            if (ViewRecord view; decodeViewRecord(bytes(record), long(record.size()), view))
                widths.push_back(view.listWidth);
        return widths;
    }
    template <class Widget>
    static Widget* child(WinObj* dialog, int index) {
        return static_cast<Widget*>(RES_GetNthChild(dialog, index));
    }
};
}  // namespace

TEST_F(ComponentViewsTest, ViewsStandSideBySideAndCloseTheGapWhenRemoved) {
    addFile("notes.txt");
    addFile("data.bin", std::string("\0\1", 2));
    EXPECT_TRUE(gProjectManager->addEngineToProject(new EngineInfo("enginehost", 7777)).ok());
    ComponentView* first = gProjectManager->addComponentView();
    ComponentView* second = gProjectManager->addComponentView();
    ComponentView* third = gProjectManager->addComponentView();
    EXPECT_EQ(columns(), (Columns{{8, 150}, {166, 130}, {304, 130}, {442, 130}}));
    EXPECT_EQ(columnOf(third)->getLabel()->box, makeRect16(442, 6, 130, 20));
    EXPECT_EQ(area()->extentWidth, 442 + 130 + kScrollBarSize);
    // The default filter "*" shows every file, no engine and no header.
    EXPECT_EQ(LBOX_GetNumRows(columnOf(second)->getListBox()), 2);
    EXPECT_STREQ(TAREA_GetLabel(columnOf(second)->getLabel()), "*");

    // "Remove List" on the middle label: the third moves into its place.
    AUTO_ScriptPopupLabel("Remove List");
    AUTO_ButtonDown(columnOf(second)->getLabel(), 3, false);
    ASSERT_EQ(gProjectManager->getNumberOfComponentViews(), 2);
    EXPECT_EQ(gProjectManager->getNthComponentView(1), third);
    EXPECT_EQ(columns(), (Columns{{8, 150}, {166, 130}, {304, 130}}));
    EXPECT_EQ(area()->extentWidth, 304 + 130 + kScrollBarSize);
    EXPECT_EQ(area()->scrollX, 0);  // the narrower surface fits the area again
    EXPECT_EQ(area()->childCount(), 6);

    // Dotted outlines every 138 pixels right of the last list show where new
    // lists would go: the second lies outside the area.
    AUTO_RecordDrawing(true);
    AUTO_Draw(area());
    std::vector<int> outlines;
    for (const DrawRecord& call : AUTO_DrawCalls())
        if (call.widget == area() && call.operation == "rect" && call.pen == PEN_LoadById(11))
            outlines.push_back(call.box.x);
    EXPECT_EQ(outlines, (std::vector<int>{304 + 130 + 8}));

    AUTO_Enter(columnOf(first)->getLabel());
    EXPECT_EQ(statusText(),
              " Hold down the right mouse button to display commands available for this list");
    AUTO_Enter(area());
    EXPECT_EQ(statusText(), " Create new lists to display and organize project components");
    // Enlarging the 724 x 476 window by 376 x 324: the icon panel widens, the
    // component area grows both ways and every list with it.
    AUTO_Resize(gWorkspaceWindow, 1100, 800);
    EXPECT_EQ(RES_GetNthChild(gWorkspaceWindow, 10)->box, makeRect16(8, 8, 708 + 376, 66));
    EXPECT_EQ(area()->box, makeRect16(166, 84, 550 + 376, 356 + 324));
    EXPECT_EQ(columnOf(third)->getListBox()->box.height, 356 + 324 - 28 - 20);
    EXPECT_EQ(projectList()->box.height, 356 + 324 - 28 - 20);
}

TEST_F(ComponentViewsTest, TheFilterDialogSetsPatternOrTypeAndSavesOnOk) {
    addFile("notes.txt");
    addFile("data.bin", std::string("\0\1", 2));
    addFile("gone.txt");
    std::filesystem::remove(manager.home.path() / "src" / "gone.txt");
    gProjectManager->identifyAllFiles();
    EXPECT_TRUE(gProjectManager->addEngineToProject(new EngineInfo("enginehost", 7777)).ok());
    ComponentView* view = gProjectManager->addComponentView();

    // By type: the combo offers neither engines nor missing files.
    WinObj* dialog = openFilterDialog(view);
    ASSERT_NE(dialog, nullptr);
    auto* combo = child<CBoxObj>(dialog, 6);
    ASSERT_EQ(CBOX_GetMaxElts(combo), 2);
    EXPECT_EQ(combo->elements[0].label, "text files");
    EXPECT_EQ(combo->elements[1].label, "unidentified files");
    EXPECT_STREQ(TED_GetStr(child<TEdObj>(dialog, 5)), "*");
    AUTO_Focus(combo, true);
    EXPECT_TRUE(TBUT_GetSelected(child<TButObj>(dialog, 4)));
    EXPECT_FALSE(TBUT_GetSelected(child<TButObj>(dialog, 3)));
    AUTO_ChooseElement(combo, 1);
    AUTO_Activate(child<TButObj>(dialog, 1));
    EXPECT_FALSE(gWindowManager->windowTypeExists(typeCode("LFLT")));
    EXPECT_STREQ(TAREA_GetLabel(columnOf(view)->getLabel()), "unidentified files");
    ASSERT_EQ(LBOX_GetNumRows(columnOf(view)->getListBox()), 1);
    EXPECT_EQ(columnOf(view)->getListBox()->rows[0].text, "data.bin");
    auto saved = rawRecordsInFile(projectPath(), "VIEW");
    ViewRecord record;
    ASSERT_TRUE(saved.size() == 1 &&
                decodeViewRecord(bytes(saved[0]), long(saved[0].size()), record));
    EXPECT_EQ(std::pair(record.filterMode, record.filterType),
              std::pair(kFilterByType, typeCode("????")));

    // The dialog opens on the view's filter; Enter in the pattern confirms.
    dialog = openFilterDialog(view);
    EXPECT_TRUE(TBUT_GetSelected(child<TButObj>(dialog, 4)));
    EXPECT_EQ(CBOX_GetSelIndex(child<CBoxObj>(dialog, 6)), 1);
    auto* pattern = child<TEdObj>(dialog, 5);
    AUTO_Focus(pattern, true);
    AUTO_EditText(pattern, "*.txt");
    AUTO_PressEnter(pattern);
    EXPECT_STREQ(TAREA_GetLabel(columnOf(view)->getLabel()), "*.txt");
    // A missing file still matches by name.
    EXPECT_EQ(LBOX_GetNumRows(columnOf(view)->getListBox()), 2);

    // Cancel changes nothing; a view has one dialog, which goes with it.
    dialog = openFilterDialog(view);
    AUTO_EditText(child<TEdObj>(dialog, 5), "zzz");
    AUTO_Activate(child<TButObj>(dialog, 2));
    EXPECT_STREQ(TAREA_GetLabel(columnOf(view)->getLabel()), "*.txt");
    EXPECT_EQ(columnOf(view)->getFilterDialog(), nullptr);
    dialog = openFilterDialog(view);
    EXPECT_EQ(openFilterDialog(view), dialog);
    gProjectManager->removeComponentView(columnOf(view)->getLabel());
    EXPECT_FALSE(gWindowManager->windowTypeExists(typeCode("LFLT")));
    // Loading a project takes every view's dialog with the view.
    openFilterDialog(gProjectManager->addComponentView());
    EXPECT_TRUE(gProjectManager->loadProject(projectPath().c_str(), false).ok());
    EXPECT_FALSE(gWindowManager->windowTypeExists(typeCode("LFLT")));
}

TEST_F(ComponentViewsTest, DraggingABoundaryKeepsEveryColumnAtLeast60WideAndSaves) {
    addFile("notes.txt");
    gProjectManager->addComponentView();
    gProjectManager->addComponentView();
    EXPECT_TRUE(gProjectManager->saveProject().ok());
    ASSERT_EQ(savedWidths(), (std::vector<int>{150, 130, 130}));

    // A click on a boundary without movement changes and saves nothing.
    gProjectManager->setProjectListWidth(100);  // not saved
    drag(0, {});
    EXPECT_EQ(columns(), (Columns{{8, 100}, {166, 130}, {304, 130}}));
    EXPECT_EQ(savedWidths(), (std::vector<int>{150, 130, 130}));
    gProjectManager->setProjectListWidth(150);

    // Left: the project list stops at 60 and the views follow it.
    drag(0, {-50, -100});
    EXPECT_EQ(columns(), (Columns{{8, 60}, {76, 130}, {214, 130}}));
    EXPECT_EQ(savedWidths(), (std::vector<int>{60, 130, 130}));

    // Right: one move is limited by the narrowest column right of the
    // boundary (130 - 60).
    drag(1, {300});
    EXPECT_EQ(columns(), (Columns{{8, 60}, {76, 200}, {284, 130}}));
    EXPECT_EQ(area()->extentWidth, 284 + 130 + kScrollBarSize);
    EXPECT_EQ(savedWidths(), (std::vector<int>{60, 200, 130}));

    // The pointer is on a boundary only in the gap right of a list and above
    // the area's bottom margin.
    EXPECT_EQ(columnBoundaryAt(area(), 68 + 4, 40), 0);
    EXPECT_EQ(columnBoundaryAt(area(), 68, 40), -1);
    EXPECT_EQ(columnBoundaryAt(area(), 414 + 4, 40), 2);
    EXPECT_EQ(columnBoundaryAt(area(), 68 + 4, area()->box.height - 19), -1);
    EXPECT_EQ(columnBoundaryAt(area(), 68 + 4, -1), -1);
    int originX = 0, originY = 0;
    area()->windowOrigin(&originX, &originY);
    AUTO_Move(gWorkspaceWindow, originX + 68 + 4, originY + 40);
    EXPECT_EQ(statusText(), " Click and drag to resize the component lists");
}

TEST_F(ComponentViewsTest, ViewsAndWidthsComeBackFromTheProjectFile) {
    addFile("notes.txt");
    gProjectManager->addComponentView()->setListWidth(90);
    ComponentView* byType = gProjectManager->addComponentView();
    byType->setFilterMode(kFilterByType);
    byType->setFilterComponentType(typeCode("TEXT"), "text files");
    gProjectManager->setProjectListWidth(120);
    EXPECT_TRUE(gProjectManager->saveProject().ok());
    const Columns restoredColumns = {{8, 120}, {136, 90}, {234, 130}};

    // Loaded while the window is open, and read before the window exists.
    EXPECT_TRUE(gProjectManager->loadProject(projectPath().c_str(), false).ok());
    EXPECT_EQ(columns(), restoredColumns);
    WIN_TerminateGetStatus(gWorkspaceWindow);
    EXPECT_EQ(gProjectManager->getNthComponentView(0)->getListWidth(), 90);
    createWorkspaceWindow();
    EXPECT_EQ(columns(), restoredColumns);
    ComponentView* restored = gProjectManager->getNthComponentView(1);
    EXPECT_STREQ(TAREA_GetLabel(columnOf(restored)->getLabel()), "text files");
    ASSERT_EQ(LBOX_GetNumRows(columnOf(restored)->getListBox()), 1);
    EXPECT_EQ(columnOf(restored)->getListBox()->rows[0].text, "notes.txt");
}
