// List boxes: rows, cursor, selection and the default row handling.
#include "toolkit/widgets/LBoxObj.h"

#include "toolkit/widgets/Draw.h"

LBoxObj::LBoxObj(const LBoxObj& other)
    : PanelObj(other), rowHeight(other.rowHeight), multipleSelection(other.multipleSelection) {}

std::unique_ptr<WgtObj> LBoxObj::clone() const {
    return std::make_unique<LBoxObj>(*this);
}

ListRow* LBoxObj::current() {
    return cursor >= 0 && cursor < int(rows.size()) ? &rows[size_t(cursor)] : nullptr;
}

Rect16 LBoxObj::currentRowBox() const {
    return makeRect16(0, (cursor - topRow) * rowHeight, box.width, rowHeight);
}

void LBoxObj::clearRows() {
    for (cursor = 0; cursor < int(rows.size()); ++cursor) notify(kNfyRowDestroyed);
    rows.clear();
    cursor = 0;
    topRow = 0;
}

void LBoxObj::release() {
    clearRows();
    PanelObj::release();
}

void LBoxObj::defaultNotify(int code) {
    switch (code) {
        case kNfyRowMouseDown: {
            ListRow* row = current();
            if (row == nullptr) return;
            if (!multipleSelection)
                for (ListRow& other : rows) other.selected = false;
            row->selected = true;
            changed();
            notify(kNfySelectionChanged);
            return;
        }
        case kNfyRowDraw:
        case kNfyRowDrawSelected:
        case kNfyRowDrawFocused:
            drawDefaultRow(this);
            return;
        default:
            PanelObj::defaultNotify(code);
    }
}

void LBOX_DefNfy(LBoxObj* list, int code) {
    if (list) list->LBoxObj::defaultNotify(code);
}

void LBOX_Reset(LBoxObj* list) {
    if (list == nullptr) return;
    list->clearRows();
    list->changed();
}

void LBOX_GoHome(LBoxObj* list) {
    if (list) list->cursor = 0;
}

void LBOX_GoDown(LBoxObj* list) {
    if (list && list->cursor < int(list->rows.size())) ++list->cursor;
}

void LBOX_GoIndex(LBoxObj* list, int index) {
    if (list == nullptr) return;
    int count = int(list->rows.size());
    list->cursor = index < 0 ? 0 : (index > count ? count : index);
}

int LBOX_GetNumRows(const LBoxObj* list) {
    return list ? int(list->rows.size()) : 0;
}

bool LBOX_IsOk(const LBoxObj* list) {
    return list != nullptr && list->cursor >= 0 && list->cursor < int(list->rows.size());
}

ClientData LBOX_CurGetClientData(LBoxObj* list) {
    return list && list->current() ? list->current()->clientData : 0;
}

void LBOX_CurSetClientData(LBoxObj* list, ClientData data) {
    if (list == nullptr) return;
    if (list->cursor == int(list->rows.size())) list->rows.emplace_back();
    if (ListRow* row = list->current()) row->clientData = data;
    list->changed();
}

void LBOX_CurSetText(LBoxObj* list, const char* text) {
    if (list == nullptr || list->current() == nullptr) return;
    list->current()->text = text ? text : "";
}

void LBOX_CurSelect(LBoxObj* list, bool selected) {
    if (list == nullptr || list->current() == nullptr) return;
    list->current()->selected = selected;
    list->changed();
}

bool LBOX_IsCurSelected(LBoxObj* list) {
    return list && list->current() && list->current()->selected;
}

void LBOX_AllUnselect(LBoxObj* list) {
    if (list == nullptr) return;
    for (ListRow& row : list->rows) row.selected = false;
    list->changed();
}

bool LBOX_GoSelAllocFirst(LBoxObj* list) {
    if (list == nullptr) return false;
    for (size_t index = 0; index < list->rows.size(); ++index) {
        if (list->rows[index].selected) {
            list->cursor = int(index);
            return true;
        }
    }
    return false;
}

bool LBOX_CurQueryRects(LBoxObj* list, Rect16* rowBox, Rect16* visibleBox) {
    if (list == nullptr || list->current() == nullptr) return false;
    Rect16 row = list->currentRowBox();
    Rect16 visible = intersectRect16(row, makeRect16(0, 0, list->box.width, list->box.height));
    if (rowBox) *rowBox = row;
    if (visibleBox) *visibleBox = visible;
    return !visible.isEmpty();
}
