// Turning user input into notifications. Backends call these when the
// window system reports an event, and the automation interface calls them
// to play one, so both paths deliver the same codes in the same order and
// fill the same event state. Positions are in the widget's window.
#pragma once

class WgtObj;
class WinObj;
class TButObj;
class TEdObj;
class LBoxObj;
class CBoxObj;

void dispatchPointerEnter(WgtObj* widget, int windowX, int windowY);
void dispatchPointerLeave(WgtObj* widget);
// Windows get kNfyPointerMoved; list boxes the row notifications 203/204.
void dispatchPointerMove(WgtObj* widget, int windowX, int windowY);
// List boxes get kNfyRowMouseDown on the row under the pointer (and
// kNfyRowActivated after a double click); other widgets kNfyMouseDown.
void dispatchMouseDown(WgtObj* widget, int button, bool isDouble, int windowX, int windowY);
// A key went down in the window: kNfyKeyDown and kNfyKeyTyped to the window,
// then, unless a procedure consumed it, menu and button accelerators,
// Return for the default button, and Tab and Escape (KeyboardNavigation.h).
// True when something used the key.
bool dispatchKey(WinObj* window, int keyCode, int modifiers);
// The user changed a field's text: store it and notify kNfyKeyTyped.
void dispatchTextEdited(TEdObj* field, const char* text);
void dispatchEnterKey(TEdObj* field);
// The user activated a button: toggle and radio buttons change state first.
void dispatchActivate(TButObj* button);
void dispatchComboChoice(CBoxObj* combo, int index);
void dispatchMenuChoice(WinObj* window, int title, int item);
void dispatchClose(WinObj* window);
void dispatchResize(WgtObj* widget, int width, int height);
// The widget gained or lost the keyboard focus; its window notes which has it.
void dispatchFocus(WgtObj* widget, bool gained);
// A draw notification: kNfyDraw, or for a list box one row notification per
// visible row (with the cursor on the row).
void dispatchDraw(WgtObj* widget);
