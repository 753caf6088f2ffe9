// Column resize: tracking entries, the limited move, and the drag itself.
#include "kelvane/ColumnResize.h"

#include "kelvane/ProjectColumns.h"
#include "projects/ProjectManager.h"
#include "toolkit/Toolkit.h"
#include "workspace/ErrorText.h"

namespace {
constexpr int kTrackingPen = 15;

// The area's origin on the window, so that scrolled surface coordinates
// become window coordinates: surface + offset.
void surfaceOffset(SPanlObj* area, int* dx, int* dy) {
    area->windowOrigin(dx, dy);
    *dx -= area->scrollX;
    *dy -= area->scrollY;
}

void drawTrackingOutlines(SPanlObj* area, const std::vector<ColumnTrackEntry>& entries) {
    WinObj* window = area->window();
    ColorObj* background = WGT_GetBgColor(window) ? WGT_GetBgColor(window) : COLOR_LightGray();
    DRAW_SetWgtContext(window);
    int x = 0, y = 0;
    area->windowOrigin(&x, &y);
    Rect16 areaBox = makeRect16(x, y, area->box.width, area->box.height);
    DRAW_ClipRect(window, &areaBox);
    DRAW_SetPen(window, PEN_Solid());
    DRAW_SetColors(window, background, background);
    DRAW_Rect(window, &areaBox);
    DRAW_SetPen(window, PEN_LoadById(kTrackingPen));
    DRAW_SetColors(window, COLOR_Black(), background);
    for (const ColumnTrackEntry& entry : entries) DRAW_Rect(window, &entry.box);
    DRAW_ClipEnd(window);
}
}  // namespace

std::vector<ColumnTrackEntry> buildColumnTrackEntries(SPanlObj* area, int boundary) {
    int offsetX = 0, offsetY = 0;
    surfaceOffset(area, &offsetX, &offsetY);
    std::vector<ColumnTrackEntry> entries;
    for (long n = 0; n < gProjectColumns.getNumberOfColumns(); ++n) {
        ColumnTrackEntry entry;
        entry.box = columnBox(gProjectColumns.getColumn(n));
        entry.box.x = int16_t(entry.box.x + offsetX);
        entry.box.y = int16_t(entry.box.y + offsetY);
        entry.fixed = n < boundary;
        entry.growsRight = n == boundary;
        entry.minimumWidth = kMinimumColumnWidth;
        entries.push_back(entry);
    }
    return entries;
}

int moveColumnBoundary(std::vector<ColumnTrackEntry>& entries, int dx) {
    for (const ColumnTrackEntry& entry : entries) {
        if (entry.fixed) continue;
        if (entry.growsRight && entry.box.width + dx < entry.minimumWidth)
            dx = entry.minimumWidth - entry.box.width;
        if (!entry.growsRight && entry.box.width - dx < entry.minimumWidth)
            dx = entry.box.width - entry.minimumWidth;
    }
    for (ColumnTrackEntry& entry : entries) {
        if (entry.fixed) continue;
        if (entry.growsRight)
            entry.box.width = int16_t(entry.box.width + dx);
        else
            entry.box.x = int16_t(entry.box.x + dx);
    }
    return dx;
}

void trackColumnResize(SPanlObj* area, int boundary) {
    std::vector<ColumnTrackEntry> entries = buildColumnTrackEntries(area, boundary);
    int startX = 0, y = 0;
    EVENT_QueryWgtLoc(area, &startX, &y);
    int lastX = startX;
    drawTrackingOutlines(area, entries);
    EVENT_TrackDownBegin(area);
    int x = startX;
    while (EVENT_TrackDown(&x, &y)) {
        if (x == lastX) continue;
        moveColumnBoundary(entries, x - lastX);
        lastX = x;
        drawTrackingOutlines(area, entries);
    }
    EVENT_TrackDownEnd();
    WGT_Inval(area);
    // The release may come with a last position.
    if (x != lastX) moveColumnBoundary(entries, x - lastX);
    if (x == startX) return;

    int offsetX = 0, offsetY = 0;
    surfaceOffset(area, &offsetX, &offsetY);
    for (size_t n = 0; n < entries.size(); ++n)
        gProjectColumns.moveColumn(long(n), entries[n].box.x - offsetX, entries[n].box.width);
    gProjectColumns.updateComponentAreaExtent();
    alertIfFailed(gProjectManager->saveProject());
}
