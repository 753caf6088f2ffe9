// Input to notifications, shared by both backends and the automation interface.
#include "toolkit/widgets/Dispatch.h"

#include "toolkit/base/KeyCodes.h"
#include "toolkit/widgets/CBoxObj.h"
#include "toolkit/widgets/Draw.h"
#include "toolkit/widgets/Event.h"
#include "toolkit/widgets/KeyboardNavigation.h"
#include "toolkit/widgets/LBoxObj.h"
#include "toolkit/widgets/Layout.h"
#include "toolkit/widgets/MBarObj.h"
#include "toolkit/widgets/TButObj.h"
#include "toolkit/widgets/TEdObj.h"
#include "toolkit/widgets/WinObj.h"

namespace {

// Starts a new event aimed at `widget`, at a window position.
void beginEvent(WgtObj* widget, int windowX, int windowY) {
    EventState& event = currentEvent();
    event.window = widget ? widget->window() : nullptr;
    event.windowX = windowX;
    event.windowY = windowY;
    event.mouseHandled = false;
    event.keyHandled = false;
}

// The start of an event the user makes without a key. The key of the event
// before goes: a window closed or a button clicked after F1 must not read
// that F1. (Activations and menu choices keep it: a key may have made them.)
void beginPointerEvent(WgtObj* widget, int windowX, int windowY) {
    beginEvent(widget, windowX, windowY);
    currentEvent().keyCode = 0;
}

// The row under a window position, or -1 below the last row.
int rowAt(LBoxObj* list, int windowY) {
    int originX = 0, originY = 0;
    list->windowOrigin(&originX, &originY);
    int offset = windowY - originY;
    if (offset < 0) return -1;
    int row = list->topRow + offset / list->rowHeight;
    return row < int(list->rows.size()) ? row : -1;
}

// Last row the pointer was on, per list, so 203 is sent once per row.
LBoxObj* gHoverList = nullptr;
int gHoverRow = -1;

bool matchesAccelerator(const MenuItem& item, int keyCode, int modifiers) {
    if (item.separator || !item.enabled || item.accelModifiers != modifiers) return false;
    if (item.accelCode == kAccelCharacter) {
        int key = item.accelKey >= 'A' && item.accelKey <= 'Z' ? item.accelKey - 'A' + 'a'
                                                               : item.accelKey;
        return key == keyCode || item.accelKey == keyCode;
    }
    return item.accelCode != 0 && item.accelCode == keyCode;
}

bool chooseMenuAccelerator(WinObj* window, int keyCode, int modifiers) {
    if (!window->menuBar) return false;
    auto& titles = window->menuBar->titles;
    for (size_t title = 0; title < titles.size(); ++title) {
        if (!titles[title].menu) continue;
        auto& items = titles[title].menu->items;
        for (size_t item = 0; item < items.size(); ++item) {
            if (!matchesAccelerator(items[item], keyCode, modifiers)) continue;
            dispatchMenuChoice(window, int(title), int(item));
            return true;
        }
    }
    return false;
}

}  // namespace

void dispatchPointerEnter(WgtObj* widget, int windowX, int windowY) {
    beginEvent(widget, windowX, windowY);
    widget->notify(kNfyPointerEntered);
}

void dispatchPointerLeave(WgtObj* widget) {
    beginEvent(widget, currentEvent().windowX, currentEvent().windowY);
    if (widget == gHoverList) {
        gHoverList = nullptr;
        gHoverRow = -1;
    }
    widget->notify(kNfyPointerLeft);
}

void dispatchPointerMove(WgtObj* widget, int windowX, int windowY) {
    beginEvent(widget, windowX, windowY);
    auto* list = widget->kind == WgtKind::ListBox ? static_cast<LBoxObj*>(widget) : nullptr;
    if (list == nullptr) {
        widget->notify(kNfyPointerMoved);
        return;
    }
    int row = rowAt(list, windowY);
    if (list == gHoverList && row == gHoverRow) return;
    gHoverList = list;
    gHoverRow = row;
    if (row < 0) {
        list->notify(kNfyRowPointerOff);
        return;
    }
    list->cursor = row;
    list->notify(kNfyRowPointerOn);
}

void dispatchMouseDown(WgtObj* widget, int button, bool isDouble, int windowX, int windowY) {
    beginPointerEvent(widget, windowX, windowY);
    currentEvent().button = button;
    currentEvent().isDouble = isDouble;
    auto* list = widget->kind == WgtKind::ListBox ? static_cast<LBoxObj*>(widget) : nullptr;
    if (list == nullptr) {
        widget->notify(kNfyMouseDown);
        return;
    }
    int row = rowAt(list, windowY);
    if (row < 0) return;
    list->cursor = row;
    list->notify(kNfyRowMouseDown);
    if (isDouble && row < int(list->rows.size())) {
        list->cursor = row;
        list->notify(kNfyRowActivated);
    }
}

bool dispatchKey(WinObj* window, int keyCode, int modifiers) {
    EventState& event = currentEvent();
    beginEvent(window, event.windowX, event.windowY);
    event.keyCode = keyCode;
    window->notify(kNfyKeyDown);
    if (event.keyHandled) return true;
    window->notify(kNfyKeyTyped);
    if (event.keyHandled) return true;
    if (chooseMenuAccelerator(window, keyCode, modifiers)) return true;
    TButObj* button = findPressableButton(window, [keyCode, modifiers](const TButObj& candidate) {
        return KYLST_Matches(candidate.accelKeys.get(), keyCode, modifiers);
    });
    if (button == nullptr && keyCode == kKeyReturn && modifiers == 0)
        button = findPressableButton(window,
                                     [](const TButObj& candidate) { return candidate.isDefault; });
    if (button == nullptr) return handleNavigationKey(window, keyCode, modifiers);
    dispatchActivate(button);
    return true;
}

void dispatchTextEdited(TEdObj* field, const char* text) {
    field->text = text ? text : "";
    field->selectionStart = field->selectionEnd = int(field->text.size());
    beginEvent(field, currentEvent().windowX, currentEvent().windowY);
    field->notify(kNfyKeyTyped);
}

void dispatchEnterKey(TEdObj* field) {
    beginEvent(field, currentEvent().windowX, currentEvent().windowY);
    currentEvent().keyCode = kKeyReturn;
    field->notify(kNfyEnterKey);
}

void dispatchActivate(TButObj* button) {
    if (button->style == ButtonStyle::Toggle) {
        button->selected = !button->selected;
    } else if (button->style == ButtonStyle::Radio) {
        // Radio buttons of one panel exclude each other.
        if (button->parent)
            for (auto& sibling : button->parent->children)
                if (auto* other = dynamic_cast<TButObj*>(sibling.get());
                    other && other->style == ButtonStyle::Radio) {
                    other->selected = false;
                    other->changed();
                }
        button->selected = true;
    }
    button->changed();
    beginEvent(button, currentEvent().windowX, currentEvent().windowY);
    button->notify(kNfyActivated);
}

void dispatchComboChoice(CBoxObj* combo, int index) {
    if (index < 0 || index >= int(combo->elements.size())) return;
    combo->cursor = index;
    combo->chosen = index;
    combo->showChosen();
    beginEvent(combo, currentEvent().windowX, currentEvent().windowY);
    combo->notify(kNfyEltChosen);
}

void dispatchMenuChoice(WinObj* window, int title, int item) {
    MBarObj* bar = window->menuBar.get();
    if (bar == nullptr || title < 0 || title >= int(bar->titles.size())) return;
    MenuObj* menu = bar->titles[size_t(title)].menu.get();
    if (menu == nullptr || item < 0 || item >= int(menu->items.size())) return;
    bar->chosenTitle = title;
    menu->chosen = item;
    beginEvent(window, currentEvent().windowX, currentEvent().windowY);
    window->notify(kNfyMenuChosen);
}

void dispatchClose(WinObj* window) {
    beginPointerEvent(window, currentEvent().windowX, currentEvent().windowY);
    window->notify(kNfyWindowClosed);
}

void dispatchResize(WgtObj* widget, int width, int height) {
    Rect16 old = widget->box;
    widget->box.width = int16_t(width);
    widget->box.height = int16_t(height);
    if (auto* panel = dynamic_cast<PanelObj*>(widget)) layoutChildren(panel, old.width, old.height);
    widget->notify(kNfyResized);
}

void dispatchFocus(WgtObj* widget, bool gained) {
    if (WinObj* window = widget->window()) {
        if (gained)
            window->focus = widget;
        else if (window->focus == widget)
            window->focus = nullptr;
    }
    widget->notify(gained ? kNfyFocusGained : kNfyFocusLost);
}

void dispatchDraw(WgtObj* widget) {
    DRAW_SetWgtContext(widget);
    auto* list = widget->kind == WgtKind::ListBox ? static_cast<LBoxObj*>(widget) : nullptr;
    if (list == nullptr) {
        widget->notify(kNfyDraw);
        return;
    }
    int saved = list->cursor;
    // Every row that shows at least partly.
    for (int row = list->topRow;
         (row - list->topRow) * list->rowHeight < list->box.height && row < int(list->rows.size());
         ++row) {
        list->cursor = row;
        list->notify(list->rows[size_t(row)].selected ? kNfyRowDrawSelected : kNfyRowDraw);
    }
    list->cursor = saved;
}
