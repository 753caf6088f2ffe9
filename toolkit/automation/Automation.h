// The automation interface: how tests (and scripted demos) drive the toolkit
// without a user. It plays user input as the window system would deliver it
// (the same notifications, in the same order, with the same event state),
// scripts the answers of modal loops and pop-up menus, records DRAW_* calls
// and counts beeps. It works with every backend; in the headless backend it
// is the only source of input.
//
// Modal loops: a script queued with AUTO_ScriptModal runs when a modal loop
// starts on a window of that resource name; it may fill fields and activate
// buttons. If the loop has not ended when the script returns, or when no
// script was queued, the headless backend ends it at once: an alert window
// (a window resource with an "answer" button) answers with that button,
// any other window returns kModalCancelled. Both cases are logged.
//
// Positions given here are in the widget's own coordinates.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "toolkit/widgets/Draw.h"

class WgtObj;
class WinObj;
class TButObj;
class TEdObj;
class LBoxObj;
class CBoxObj;
class MenuObj;
struct MenuItem;

// ---- Finding widgets.
// The widget at a child path below `root`: indices separated by '/' ("1/0"
// is child 0 of child 1). Null when the path leads nowhere.
WgtObj* AUTO_FindChild(WgtObj* root, const char* path);
// The first widget below `root` (depth first) with this resource name.
WgtObj* AUTO_FindByName(WgtObj* root, const char* name);

// ---- Input.
void AUTO_Enter(WgtObj* widget);
void AUTO_Leave(WgtObj* widget);
void AUTO_Move(WgtObj* widget, int x, int y);
void AUTO_ButtonDown(WgtObj* widget, int button, bool isDouble, int x = 1, int y = 1);
// A button press on row `row` of a list box.
void AUTO_RowButtonDown(LBoxObj* list, int row, int button, bool isDouble);
void AUTO_KeyPress(WinObj* window, int keyCode, int modifiers = 0);
void AUTO_EditText(TEdObj* field, const char* text);
void AUTO_PressEnter(TEdObj* field);
void AUTO_Activate(TButObj* button);
void AUTO_ChooseElement(CBoxObj* combo, int index);
// Chooses a menu bar item by label (exact, '&' included) or by id; false
// when the window's menu bar has no such enabled item.
bool AUTO_ChooseMenuItem(WinObj* window, const char* label);
bool AUTO_ChooseMenuId(WinObj* window, int id);
void AUTO_Close(WinObj* window);
void AUTO_Resize(WgtObj* widget, int width, int height);
void AUTO_Focus(WgtObj* widget, bool gained);
// Delivers the widget's draw notifications now.
void AUTO_Draw(WgtObj* widget);
// Delivers every pending alarm at once; the number delivered.
int AUTO_FireAlarms();

// ---- Scripts, used up in order.
using ModalScript = std::function<void(WinObj* window)>;
// Runs `script` when a modal loop starts on a window of that resource name
// (any window for null or "").
void AUTO_ScriptModal(const char* windowName, ModalScript script);
// Shorthand: the modal loop of that window is answered by activating the
// button at `buttonPath` (see AUTO_FindChild).
void AUTO_ScriptModalButton(const char* windowName, const char* buttonPath);
// The next pop-up menu (MENU_OpenProcess) chooses the item with this label
// or id; a label or id that the menu lacks dismisses it.
void AUTO_ScriptPopupLabel(const char* label);
void AUTO_ScriptPopupId(int id);
// The next drag (EVENT_TrackDown) moves the pointer through these window
// positions and then releases the button (headless backend).
void AUTO_ScriptDrag(const std::vector<std::pair<int, int>>& windowPositions);

// ---- Observing.
void AUTO_RecordDrawing(bool on);
const std::vector<DrawRecord>& AUTO_DrawCalls();
int AUTO_BeepCount();
// The items of the last pop-up menu opened (scripted or not).
const std::vector<MenuItem>& AUTO_LastPopupItems();
// Unscripted modal loops and pop-ups that were ended automatically.
int AUTO_UnscriptedCount();
// Forgets scripts, recorded calls and counters.
void AUTO_Reset();

// ---- Hooks for the headless backend.
// The scripted choice for a pop-up menu: an item index, or -1 (dismiss)
// with the unscripted count raised.
int takePopupChoice(MenuObj* menu);
// The next scripted drag position; false when the button is released.
bool takeDragPosition(int* windowX, int* windowY);
void noteUnscripted();
