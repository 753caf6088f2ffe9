// Keyboard navigation shared by both backends and the automation interface.
#include "toolkit/widgets/KeyboardNavigation.h"

#include <algorithm>

#include "toolkit/base/KeyCodes.h"
#include "toolkit/widgets/Dispatch.h"
#include "toolkit/widgets/PanelObj.h"
#include "toolkit/widgets/TButObj.h"
#include "toolkit/widgets/TEdObj.h"
#include "toolkit/widgets/WinObj.h"

namespace {

// Buttons without a label are pictures (the alert's icon, the tool's icon)
// or the hidden help button: Tab passes them by.
bool takesFocus(const WgtObj& widget) {
    if (!widget.enabled || widget.box.width <= 0 || widget.box.height <= 0) return false;
    switch (widget.kind) {
        case WgtKind::Button:
            return !static_cast<const TButObj&>(widget).label.empty();
        case WgtKind::TextField:
            return static_cast<const TEdObj&>(widget).editable;
        case WgtKind::ListBox:
        case WgtKind::ComboBox:
            return true;
        default:
            return false;
    }
}

void collectFocusable(WgtObj* widget, std::vector<WgtObj*>* chain) {
    if (!widget->visible) return;
    if (takesFocus(*widget)) chain->push_back(widget);
    auto* panel = dynamic_cast<PanelObj*>(widget);
    // A combo box's inner field, button and list are parts of the one widget.
    if (panel == nullptr || panel->kind == WgtKind::ComboBox) return;
    for (auto& child : panel->children) collectFocusable(child.get(), chain);
}

struct Placed {
    WgtObj* widget;
    int x, y, height;  // in the window
};

// Reading order: by top edge, and widgets whose top lies in the upper half
// of a row's first widget join that row, which is then read left to right
// (a toggle one pixel lower than the button beside it is on the same row).
void sortInReadingOrder(std::vector<Placed>* placed) {
    std::stable_sort(placed->begin(), placed->end(),
                     [](const Placed& a, const Placed& b) { return a.y < b.y; });
    for (auto row = placed->begin(); row != placed->end();) {
        int rowMiddle = row->y + row->height / 2;
        auto end = std::find_if(row, placed->end(),
                                [rowMiddle](const Placed& p) { return p.y >= rowMiddle; });
        if (end == row) ++end;
        std::stable_sort(row, end, [](const Placed& a, const Placed& b) { return a.x < b.x; });
        row = end;
    }
}

void moveFocus(WinObj* window, bool forward) {
    std::vector<WgtObj*> chain = focusChain(window);
    if (chain.empty()) return;
    // The focus is only compared with the chain's members, never followed:
    // the widget it names may have gone.
    auto current = std::find(chain.begin(), chain.end(), window->focus);
    size_t next = 0;
    if (current == chain.end())
        next = forward ? 0 : chain.size() - 1;
    else {
        size_t at = size_t(current - chain.begin());
        next = forward ? (at + 1) % chain.size() : (at + chain.size() - 1) % chain.size();
    }
    WGT_GainFocus(chain[next]);
}

}  // namespace

TButObj* findPressableButton(WgtObj* root, const std::function<bool(const TButObj&)>& accepts) {
    if (!root->visible) return nullptr;
    if (auto* button = dynamic_cast<TButObj*>(root); button && button->enabled && accepts(*button))
        return button;
    auto* panel = dynamic_cast<PanelObj*>(root);
    if (panel == nullptr || panel->kind == WgtKind::ComboBox) return nullptr;
    for (auto& child : panel->children)
        if (TButObj* found = findPressableButton(child.get(), accepts)) return found;
    return nullptr;
}

std::vector<WgtObj*> focusChain(WinObj* window) {
    std::vector<WgtObj*> widgets;
    for (auto& child : window->children) collectFocusable(child.get(), &widgets);
    std::vector<Placed> placed;
    for (WgtObj* widget : widgets) {
        Placed entry{widget, 0, 0, widget->box.height};
        widget->windowOrigin(&entry.x, &entry.y);
        placed.push_back(entry);
    }
    sortInReadingOrder(&placed);
    std::vector<WgtObj*> chain;
    for (const Placed& entry : placed) chain.push_back(entry.widget);
    return chain;
}

bool handleNavigationKey(WinObj* window, int keyCode, int modifiers) {
    if (keyCode == kKeyTab && (modifiers & ~kModShift) == 0) {
        moveFocus(window, (modifiers & kModShift) == 0);
        return true;
    }
    if (keyCode != kKeyEscape || modifiers != 0) return false;
    if (TButObj* cancel =
            findPressableButton(window, [](const TButObj& b) { return b.isCancel; })) {
        dispatchActivate(cancel);
        return true;
    }
    if (!window->closesOnEscape) return false;
    dispatchClose(window);
    return true;
}

bool pressDefaultButton(WgtObj* widget) {
    WinObj* window = widget->window();
    if (window == nullptr) return false;
    TButObj* button = findPressableButton(window, [](const TButObj& b) { return b.isDefault; });
    if (button == nullptr) return false;
    dispatchActivate(button);
    return true;
}
