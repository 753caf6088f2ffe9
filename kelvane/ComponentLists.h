// The component lists of the workspace: the project list and every
// component view. Their rows are drawn here (a header per component type,
// then its components, indented), the status line describes the row under
// the pointer, the right button opens the component's pop-up menu (the
// commands that can work on it, and removal) and a double click runs the
// component's default command.
#pragma once

#include <cstdint>
#include <string>

class LBoxObj;
class TAreaObj;
class WinObj;

// Gives the lists, their labels and the component area of the workspace
// `window` their procedures; every view made later gets them as well.
void installComponentListProcedures(WinObj* window);

// Notification procedure of the project list and of every view's list.
void nd_componentListNfy(LBoxObj* list, int code);
// Of the project list's label.
void nd_componentViewLabelNfy(TAreaObj* label, int code);
// Of every view's label: its pop-up removes the view or opens its filter.
void componentViewLabelNfy(TAreaObj* label, int code);

// Draws the list's current row.
void drawOneComponent(LBoxObj* list);
// Draws one row: `level` 0 for a header, 1 for a component (indented 8
// pixels per level), highlighted when the row is selected.
void drawComponentLine(LBoxObj* list, int level, const char* text);
// The status line's text for a row's client data: a file's full path, an
// engine's one-line description, a header's type description; empty for 0.
std::string describeComponentRow(uint32_t value);

// The component pop-up menu for the selected component: the commands that
// work on it in ascending label order (disabled while their tool is not
// loaded), a separator after them, then "Remove Component".
void handleComponentMenu();
// Runs the selected component's default command, or explains that no tool
// can use it.
void runDefaultCommand();
