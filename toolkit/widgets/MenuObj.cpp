// Menus: the item cursor, item setters and the pop-up choice.
#include "toolkit/widgets/MenuObj.h"

#include "toolkit/widgets/Backend.h"

namespace {

const MenuItem* chosenItem(const MenuObj* menu) {
    if (menu == nullptr || menu->chosen < 0 || menu->chosen >= int(menu->items.size()))
        return nullptr;
    return &menu->items[size_t(menu->chosen)];
}

// Runs `change` on the current item and tells the owner.
template <class Change>
void changeCurrent(MenuObj* menu, Change change) {
    if (menu == nullptr || menu->current() == nullptr) return;
    change(*menu->current());
    menu->changed();
}
}  // namespace

void MenuObj::changed() {
    if (owner != nullptr) owner->changed();
}

MenuItem* MenuObj::current() {
    return cursor >= 0 && cursor < int(items.size()) ? &items[size_t(cursor)] : nullptr;
}

MenuObj* MENU_Create() {
    return new MenuObj;
}
void MENU_Terminate(MenuObj* menu) {
    delete menu;
}

void MENU_AddItem(MenuObj* menu, const char* label, int id, bool beforeCurrent) {
    if (menu == nullptr) return;
    MenuItem item;
    item.label = label ? label : "";
    item.id = id;
    if (!beforeCurrent || menu->current() == nullptr) menu->cursor = int(menu->items.size());
    menu->items.insert(menu->items.begin() + menu->cursor, item);
    menu->changed();
}

void MENU_AddSeparator(MenuObj* menu) {
    if (menu == nullptr) return;
    MenuItem item;
    item.separator = true;
    item.enabled = false;
    menu->items.push_back(item);
    menu->cursor = int(menu->items.size()) - 1;
    menu->changed();
}

void MENU_GoFirst(MenuObj* menu) {
    if (menu) menu->cursor = 0;
}
void MENU_GoNext(MenuObj* menu) {
    if (menu && menu->cursor < int(menu->items.size())) ++menu->cursor;
}
void MENU_GoLast(MenuObj* menu) {
    if (menu) menu->cursor = int(menu->items.size()) - 1;
}
bool MENU_IsOk(const MenuObj* menu) {
    return menu != nullptr && menu->cursor >= 0 && menu->cursor < int(menu->items.size());
}
int MENU_GetNumElts(const MenuObj* menu) {
    return menu ? int(menu->items.size()) : 0;
}

void MENU_CurSetLabel(MenuObj* menu, const char* label) {
    changeCurrent(menu, [label](MenuItem& item) { item.label = label ? label : ""; });
}
void MENU_CurSetId(MenuObj* menu, int id) {
    changeCurrent(menu, [id](MenuItem& item) { item.id = id; });
}
void MENU_CurSetClientData(MenuObj* menu, ClientData data) {
    changeCurrent(menu, [data](MenuItem& item) { item.clientData = data; });
}
void MENU_CurSetEnabled(MenuObj* menu, bool enabled) {
    changeCurrent(menu, [enabled](MenuItem& item) { item.enabled = enabled; });
}
void MENU_CurSetChecked(MenuObj* menu, bool checked) {
    changeCurrent(menu, [checked](MenuItem& item) { item.checked = checked; });
}
void MENU_CurSetCheckedMode(MenuObj* menu, bool checkedMode) {
    changeCurrent(menu, [checkedMode](MenuItem& item) { item.checkedMode = checkedMode; });
}
void MENU_CurSetAccelKey(MenuObj* menu, int code, int modifiers, char key) {
    changeCurrent(menu, [=](MenuItem& item) {
        item.accelCode = code;
        item.accelModifiers = modifiers;
        item.accelKey = key;
    });
}
void MENU_CurSetAccelLabel(MenuObj* menu, const char* label) {
    changeCurrent(menu, [label](MenuItem& item) { item.accelLabel = label ? label : ""; });
}
void MENU_CurSetSepStyle(MenuObj* menu, int style) {
    changeCurrent(menu, [style](MenuItem& item) { item.separatorStyle = style; });
}

const char* MENU_CurGetLabel(MenuObj* menu) {
    return menu && menu->current() ? menu->current()->label.c_str() : "";
}
int MENU_CurGetId(MenuObj* menu) {
    return menu && menu->current() ? menu->current()->id : 0;
}
ClientData MENU_CurGetClientData(MenuObj* menu) {
    return menu && menu->current() ? menu->current()->clientData : 0;
}

bool MENU_OpenProcess(MenuObj* menu, WgtObj* anchor) {
    if (menu == nullptr) return false;
    menu->chosen = currentBackend().popupMenu(menu, anchor);
    const MenuItem* item = chosenItem(menu);
    if (item == nullptr || item->separator || !item->enabled) {
        menu->chosen = -1;
        return false;
    }
    return true;
}

bool MENU_HasChoice(const MenuObj* menu) {
    return chosenItem(menu) != nullptr;
}
const char* MENU_ChosenGetLabel(const MenuObj* menu) {
    const MenuItem* item = chosenItem(menu);
    return item ? item->label.c_str() : "";
}
int MENU_ChosenGetId(const MenuObj* menu) {
    const MenuItem* item = chosenItem(menu);
    return item ? item->id : 0;
}
ClientData MENU_ChosenGetClientData(const MenuObj* menu) {
    const MenuItem* item = chosenItem(menu);
    return item ? item->clientData : 0;
}
