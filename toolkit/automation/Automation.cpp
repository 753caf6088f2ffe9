// The automation interface: scripted answers, recorded drawing and played input.
#include "toolkit/automation/Automation.h"

#include <cstdlib>
#include <cstring>
#include <deque>

#include "toolkit/widgets/AlarmList.h"
#include "toolkit/widgets/CBoxObj.h"
#include "toolkit/widgets/Dispatch.h"
#include "toolkit/widgets/LBoxObj.h"
#include "toolkit/widgets/MBarObj.h"
#include "toolkit/widgets/MenuObj.h"
#include "toolkit/widgets/TButObj.h"
#include "toolkit/widgets/TEdObj.h"
#include "toolkit/widgets/WidgetObserver.h"
#include "toolkit/widgets/WinObj.h"

namespace {

struct ScriptedModal {
    std::string windowName;  // resource name it answers; empty: any window
    ModalScript script;      // what the "user" does in the dialog
};

struct PopupChoice {
    std::string label;  // item label to choose, or empty to choose by id
    int id = 0;         // item id when no label is given
};

struct AutomationState {
    std::deque<ScriptedModal> modals;               // queued modal answers
    std::deque<PopupChoice> popups;                 // queued pop-up choices
    std::deque<std::pair<int, int>> dragPositions;  // positions of the scripted drag
    bool recording = false;                         // DRAW_* calls are recorded
    std::vector<DrawRecord> drawCalls;              // recorded calls, oldest first
    int beeps = 0;                                  // DSPLY_Beep calls
    int unscripted = 0;                             // loops and pop-ups ended automatically
    std::vector<MenuItem> lastPopup;                // items of the last pop-up menu opened
};

AutomationState gAuto;

// Runs the script queued for this modal window, if any.
void runModalScript(WinObj* window) {
    for (auto entry = gAuto.modals.begin(); entry != gAuto.modals.end(); ++entry) {
        if (!entry->windowName.empty() && entry->windowName != window->name) continue;
        ModalScript script = std::move(entry->script);
        gAuto.modals.erase(entry);
        script(window);
        return;
    }
}

// The automation watches the widgets from the start of the program: the
// object file holding its state installs the observer while statics are
// initialised, so no drawing, bell or modal loop escapes it. It leaves
// before its state goes at exit (statics end in reverse order).
class AutomationObserver : public WidgetObserver {
  public:
    ~AutomationObserver() override { installWidgetObserver(nullptr); }
    bool recordsDrawing() const override { return gAuto.recording; }
    void drawn(const DrawRecord& record) override { gAuto.drawCalls.push_back(record); }
    void modalStarting(WinObj* window) override { runModalScript(window); }
    void beeped() override { ++gAuto.beeps; }
};

AutomationObserver gObserver;
[[maybe_unused]] const bool gObserving = (installWidgetObserver(&gObserver), true);

void windowPosition(WgtObj* widget, int x, int y, int* windowX, int* windowY) {
    widget->windowOrigin(windowX, windowY);
    *windowX += x;
    *windowY += y;
}

bool chooseMenuItem(WinObj* window, const std::function<bool(const MenuItem&)>& matches) {
    if (!window || !window->menuBar) return false;
    auto& titles = window->menuBar->titles;
    for (size_t title = 0; title < titles.size(); ++title) {
        if (!titles[title].menu) continue;
        auto& items = titles[title].menu->items;
        for (size_t item = 0; item < items.size(); ++item) {
            if (items[item].separator || !items[item].enabled || !matches(items[item])) continue;
            dispatchMenuChoice(window, int(title), int(item));
            return true;
        }
    }
    return false;
}

}  // namespace

WgtObj* AUTO_FindChild(WgtObj* root, const char* path) {
    WgtObj* widget = root;
    for (const char* step = path; widget != nullptr && step != nullptr && *step != '\0';) {
        char* end = nullptr;
        long index = std::strtol(step, &end, 10);
        if (end == step) return nullptr;
        widget = RES_GetNthChild(widget, int(index));
        step = *end == '/' ? end + 1 : end;
    }
    return widget;
}

WgtObj* AUTO_FindByName(WgtObj* root, const char* name) {
    if (root == nullptr || name == nullptr) return nullptr;
    if (root->name == name) return root;
    if (auto* panel = dynamic_cast<PanelObj*>(root))
        for (auto& child : panel->children)
            if (WgtObj* found = AUTO_FindByName(child.get(), name)) return found;
    return nullptr;
}

void AUTO_Enter(WgtObj* widget) {
    int windowX = 0, windowY = 0;
    windowPosition(widget, 1, 1, &windowX, &windowY);
    dispatchPointerEnter(widget, windowX, windowY);
}

void AUTO_Leave(WgtObj* widget) {
    dispatchPointerLeave(widget);
}

void AUTO_Move(WgtObj* widget, int x, int y) {
    int windowX = 0, windowY = 0;
    windowPosition(widget, x, y, &windowX, &windowY);
    dispatchPointerMove(widget, windowX, windowY);
}

void AUTO_ButtonDown(WgtObj* widget, int button, bool isDouble, int x, int y) {
    int windowX = 0, windowY = 0;
    windowPosition(widget, x, y, &windowX, &windowY);
    dispatchMouseDown(widget, button, isDouble, windowX, windowY);
}

void AUTO_RowButtonDown(LBoxObj* list, int row, int button, bool isDouble) {
    AUTO_ButtonDown(list, button, isDouble, 1, (row - list->topRow) * list->rowHeight + 1);
}

void AUTO_KeyPress(WinObj* window, int keyCode, int modifiers) {
    dispatchKey(window, keyCode, modifiers);
}
void AUTO_EditText(TEdObj* field, const char* text) {
    dispatchTextEdited(field, text);
}
void AUTO_PressEnter(TEdObj* field) {
    dispatchEnterKey(field);
}
void AUTO_Activate(TButObj* button) {
    dispatchActivate(button);
}
void AUTO_ChooseElement(CBoxObj* combo, int index) {
    dispatchComboChoice(combo, index);
}

bool AUTO_ChooseMenuItem(WinObj* window, const char* label) {
    return label &&
           chooseMenuItem(window, [label](const MenuItem& item) { return item.label == label; });
}

bool AUTO_ChooseMenuId(WinObj* window, int id) {
    return chooseMenuItem(window, [id](const MenuItem& item) { return item.id == id; });
}

void AUTO_Close(WinObj* window) {
    dispatchClose(window);
}
void AUTO_Resize(WgtObj* widget, int width, int height) {
    dispatchResize(widget, width, height);
}
void AUTO_Focus(WgtObj* widget, bool gained) {
    dispatchFocus(widget, gained);
}
void AUTO_Draw(WgtObj* widget) {
    dispatchDraw(widget);
}
int AUTO_FireAlarms() {
    return alarmFireAll();
}

void AUTO_ScriptModal(const char* windowName, ModalScript script) {
    gAuto.modals.push_back({windowName ? windowName : "", std::move(script)});
}

void AUTO_ScriptModalButton(const char* windowName, const char* buttonPath) {
    std::string path = buttonPath ? buttonPath : "";
    AUTO_ScriptModal(windowName, [path](WinObj* window) {
        if (auto* button = dynamic_cast<TButObj*>(AUTO_FindChild(window, path.c_str())))
            dispatchActivate(button);
    });
}

void AUTO_ScriptPopupLabel(const char* label) {
    gAuto.popups.push_back({label ? label : "", 0});
}
void AUTO_ScriptPopupId(int id) {
    gAuto.popups.push_back({"", id});
}

void AUTO_ScriptDrag(const std::vector<std::pair<int, int>>& windowPositions) {
    gAuto.dragPositions.assign(windowPositions.begin(), windowPositions.end());
}

void AUTO_RecordDrawing(bool on) {
    gAuto.recording = on;
}
const std::vector<DrawRecord>& AUTO_DrawCalls() {
    return gAuto.drawCalls;
}
int AUTO_BeepCount() {
    return gAuto.beeps;
}
const std::vector<MenuItem>& AUTO_LastPopupItems() {
    return gAuto.lastPopup;
}
int AUTO_UnscriptedCount() {
    return gAuto.unscripted;
}
void AUTO_Reset() {
    gAuto = AutomationState{};
}

int takePopupChoice(MenuObj* menu) {
    gAuto.lastPopup = menu->items;
    if (gAuto.popups.empty()) {
        noteUnscripted();
        return -1;
    }
    PopupChoice choice = gAuto.popups.front();
    gAuto.popups.pop_front();
    for (size_t index = 0; index < menu->items.size(); ++index) {
        const MenuItem& item = menu->items[index];
        bool matches = choice.label.empty() ? item.id == choice.id : item.label == choice.label;
        if (matches && !item.separator) return int(index);
    }
    return -1;
}

bool takeDragPosition(int* windowX, int* windowY) {
    if (gAuto.dragPositions.empty()) return false;
    *windowX = gAuto.dragPositions.front().first;
    *windowY = gAuto.dragPositions.front().second;
    gAuto.dragPositions.pop_front();
    return true;
}

void noteUnscripted() {
    ++gAuto.unscripted;
}
