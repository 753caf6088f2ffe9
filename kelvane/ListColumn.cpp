// ListColumn: placing a list and its label together.
#include "kelvane/ListColumn.h"

#include "toolkit/widgets/LBoxObj.h"
#include "toolkit/widgets/TAreaObj.h"

int16_t columnWidth(const ListColumn& column) {
    return column.label != nullptr ? column.label->box.width : 0;
}

void placeColumn(const ListColumn& column, int x, int width) {
    if (!column.exists()) return;
    Rect16 listBox = column.list->box;
    listBox.x = int16_t(x);
    listBox.width = int16_t(width);
    PANEL_SetResBox(column.list, &listBox);
    Rect16 labelBox = column.label->box;
    labelBox.x = int16_t(x);
    labelBox.width = int16_t(width);
    WGT_SetResBox(column.label, &labelBox);
}

Rect16 columnBox(const ListColumn& column) {
    if (!column.exists()) return Rect16{};
    Rect16 box = column.label->box;
    box.height = int16_t(column.label->box.height + column.list->box.height);
    return box;
}
