// The keys every dialog understands, whatever the backend: Tab and
// Shift-Tab move the focus through the fields, lists and buttons in reading
// order (top to bottom, a row left to right), Escape presses the cancel
// button or closes a window that asks for it, Return in a single-line field
// presses the default button.
#pragma once

#include <functional>
#include <vector>

class TButObj;
class WgtObj;
class WinObj;

// The first button below `root` that a key may press (enabled and shown)
// and that `accepts`, or null.
TButObj* findPressableButton(WgtObj* root, const std::function<bool(const TButObj&)>& accepts);
// The widgets Tab visits in `window`, in reading order.
std::vector<WgtObj*> focusChain(WinObj* window);
// Tab, Shift-Tab and Escape; true when the key was used.
bool handleNavigationKey(WinObj* window, int keyCode, int modifiers);
// Presses the default button of the widget's window; false when it has none.
bool pressDefaultButton(WgtObj* widget);
