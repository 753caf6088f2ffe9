// LBoxObj: a list box used through a cursor. Each row carries client data, a
// selected flag and an optional text. The application fills a list by
// setting client data on the row under the cursor and moving down: setting
// data one past the last row appends a row, and past the last row the
// client data reads as 0. The application draws rows itself on the row
// draw notifications (202, 206, 207), with the cursor on the row to draw.
// A list is a panel so it can be cloned and placed like one.
#pragma once

#include <string>
#include <vector>

#include "toolkit/widgets/PanelObj.h"

// One row of a list box: its text, the application's value and its selection.
struct ListRow {
    ClientData clientData = 0;  // the application's value (0 past the end)
    bool selected = false;      // part of the selection
    std::string text;           // text drawn by the default row drawing
};

class LBoxObj : public PanelObj {
  public:
    LBoxObj() : PanelObj(WgtKind::ListBox) {}
    // The copy starts without rows: their client data belongs to the original.
    LBoxObj(const LBoxObj& other);

    std::unique_ptr<WgtObj> clone() const override;
    void defaultNotify(int code) override;
    void release() override;

    // Delivers kNfyRowDestroyed for every row, then forgets them.
    void clearRows();
    ListRow* current();
    // The current row's box in the list's coordinates.
    Rect16 currentRowBox() const;

    std::vector<ListRow> rows;       // in display order
    int cursor = 0;                  // current row; rows.size() is "past the end"
    int rowHeight = 18;              // pixels per row
    int topRow = 0;                  // first row shown (scrolling)
    bool multipleSelection = false;  // a click adds to the selection instead of replacing it
};

void LBOX_DefNfy(LBoxObj* list, int code);
// Removes every row (each gets kNfyRowDestroyed) and goes home.
void LBOX_Reset(LBoxObj* list);
void LBOX_GoHome(LBoxObj* list);
void LBOX_GoDown(LBoxObj* list);
// Moves to row `index` (clamped to "past the end").
void LBOX_GoIndex(LBoxObj* list, int index);
int LBOX_GetNumRows(const LBoxObj* list);
bool LBOX_IsOk(const LBoxObj* list);
ClientData LBOX_CurGetClientData(LBoxObj* list);
void LBOX_CurSetClientData(LBoxObj* list, ClientData data);
// Supplies the current row's text (the answer to kNfyRowGetText).
void LBOX_CurSetText(LBoxObj* list, const char* text);
void LBOX_CurSelect(LBoxObj* list, bool selected = true);
bool LBOX_IsCurSelected(LBoxObj* list);
void LBOX_AllUnselect(LBoxObj* list);
// Moves to the first selected row; false (cursor unchanged) when none is.
bool LBOX_GoSelAllocFirst(LBoxObj* list);
// The current row's box and its visible part, in the list's coordinates;
// false when no part of the row is visible.
bool LBOX_CurQueryRects(LBoxObj* list, Rect16* rowBox, Rect16* visibleBox);
