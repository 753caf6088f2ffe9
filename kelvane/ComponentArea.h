// The workspace's component area: the scrolling panel in which the project
// list and the component views stand side by side. Dotted placeholder
// outlines right of the last list show where new lists would go; the gap
// right of each list is a column boundary that the user drags to change
// that list's width.
#pragma once

class SPanlObj;
class WinObj;

// The component area of the workspace `window` (child 11), or null.
SPanlObj* workspaceComponentArea(WinObj* window);

void componentAreaNfy(SPanlObj* area, int code);

// The boundary under the point (x, y) of the area's own coordinates: 0 for
// the one right of the project list, n for the one right of view n - 1;
// -1 when the point is on none.
int columnBoundaryAt(SPanlObj* area, int x, int y);
// Whether the pointer of the event being handled is on a column boundary
// of the current workspace's component area.
bool pointerOnColumnBoundary();
// Draws the placeholder outlines into the area.
void drawPlaceholderOutlines(SPanlObj* area);
