// The component area: its notifications, the placeholder outlines and the
// column boundaries.
#include "kelvane/ComponentArea.h"

#include "kelvane/ColumnResize.h"
#include "kelvane/ProjectColumns.h"
#include "kelvane/WorkspaceWindow.h"
#include "projects/ProjectManager.h"
#include "toolkit/Toolkit.h"

namespace {
constexpr int kComponentAreaIndex = 11;
// Room left below the lists: no boundary there.
constexpr int kBottomMargin = 20;
constexpr int kPlaceholderPen = 11;
}  // namespace

SPanlObj* workspaceComponentArea(WinObj* window) {
    WgtObj* area = window != nullptr ? RES_GetNthChild(window, kComponentAreaIndex) : nullptr;
    return area != nullptr && area->kind == WgtKind::ScrollPanel ? static_cast<SPanlObj*>(area)
                                                                 : nullptr;
}

int columnBoundaryAt(SPanlObj* area, int x, int y) {
    if (area == nullptr || area != gProjectColumns.getComponentArea()) return -1;
    if (y < 0 || y > area->box.height - kBottomMargin) return -1;
    // The lists stand on the scrolled surface.
    int surfaceX = x + area->scrollX;
    for (long n = 0; n < gProjectColumns.getNumberOfColumns(); ++n) {
        ListColumn column = gProjectColumns.getColumn(n);
        if (column.list == nullptr) continue;
        int right = column.list->box.right();
        if (right < surfaceX && surfaceX < right + kColumnGap) return int(n);
    }
    return -1;
}

bool pointerOnColumnBoundary() {
    SPanlObj* area = gProjectColumns.getComponentArea();
    if (area == nullptr) return false;
    int x = 0, y = 0;
    EVENT_QueryWgtLoc(area, &x, &y);
    return columnBoundaryAt(area, x, y) >= 0;
}

void drawPlaceholderOutlines(SPanlObj* area) {
    Rect16 last;
    gProjectColumns.getLastComponentViewBox(&last);
    Rect16 areaBox = makeRect16(0, 0, area->box.width, area->box.height);
    DRAW_ClipRect(area, &areaBox);
    DRAW_SetPen(area, PEN_LoadById(kPlaceholderPen));
    DRAW_SetColors(area, COLOR_Black(), COLOR_Transparent());
    int height = area->box.height - kBottomMargin;
    for (int x = last.right() + kColumnGap - area->scrollX; x < area->box.width;
         x += kNewViewWidth + kColumnGap) {
        Rect16 outline = makeRect16(x, 0, kNewViewWidth, height);
        DRAW_Rect(area, &outline);
    }
    DRAW_ClipEnd(area);
}

void componentAreaNfy(SPanlObj* area, int code) {
    switch (code) {
        case kNfyPointerEntered:
            SPANL_DefNfy(area, code);
            if (!pointerOnColumnBoundary()) {
                updateStatusText("Create new lists to display and organize project components");
                WGT_MouseHandled(area);
            }
            return;
        case kNfyMouseDown: {
            int x = 0, y = 0;
            EVENT_QueryWgtLoc(area, &x, &y);
            int boundary = columnBoundaryAt(area, x, y);
            if (boundary >= 0)
                trackColumnResize(area, boundary);
            else
                SPANL_DefNfy(area, code);
            return;
        }
        case kNfyDraw:
            SPANL_DefNfy(area, code);
            drawPlaceholderOutlines(area);
            return;
        case kNfyResized:
            SPANL_DefNfy(area, code);
            gProjectColumns.adjustListHeights();
            return;
        default:
            SPANL_DefNfy(area, code);
    }
}
