// Menu bars: title cursor, attached menus and the last choice.
#include "toolkit/widgets/MBarObj.h"

MBarObj::MBarObj(const MBarObj& other, WgtObj* owner) : owner(owner) {
    for (const MenuTitle& title : other.titles) {
        MenuTitle copy{title.label, nullptr, title.rightAligned};
        if (title.menu) {
            copy.menu = std::make_unique<MenuObj>(*title.menu);
            copy.menu->owner = owner;
        }
        titles.push_back(std::move(copy));
    }
}

MenuTitle* MBarObj::current() {
    return cursor >= 0 && cursor < int(titles.size()) ? &titles[size_t(cursor)] : nullptr;
}

void MBarObj::changed() {
    if (owner != nullptr) owner->changed();
}

void MBAR_GoFirst(MBarObj* bar) {
    if (bar) bar->cursor = 0;
}
void MBAR_GoNext(MBarObj* bar) {
    if (bar && bar->cursor < int(bar->titles.size())) ++bar->cursor;
}
void MBAR_GoLast(MBarObj* bar) {
    if (bar) bar->cursor = int(bar->titles.size()) - 1;
}

bool MBAR_GoLabel(MBarObj* bar, const char* label) {
    if (bar == nullptr || label == nullptr) return false;
    for (size_t index = 0; index < bar->titles.size(); ++index) {
        if (bar->titles[index].label == label) {
            bar->cursor = int(index);
            return true;
        }
    }
    return false;
}

bool MBAR_IsOk(const MBarObj* bar) {
    return bar != nullptr && bar->cursor >= 0 && bar->cursor < int(bar->titles.size());
}

void MBAR_AddItem(MBarObj* bar, const char* label) {
    if (bar == nullptr) return;
    bar->titles.push_back(MenuTitle{label ? label : "", nullptr, false});
    bar->cursor = int(bar->titles.size()) - 1;
    bar->changed();
}

const char* MBAR_CurGetLabel(MBarObj* bar) {
    return bar && bar->current() ? bar->current()->label.c_str() : "";
}

void MBAR_CurSetLabel(MBarObj* bar, const char* label) {
    if (bar == nullptr || bar->current() == nullptr) return;
    bar->current()->label = label ? label : "";
    bar->changed();
}

MenuObj* MBAR_CurGetSubMenu(MBarObj* bar) {
    return bar && bar->current() ? bar->current()->menu.get() : nullptr;
}

void MBAR_CurSetSubMenu(MBarObj* bar, MenuObj* menu) {
    if (bar == nullptr || bar->current() == nullptr) return;
    if (menu != nullptr) menu->owner = bar->owner;
    bar->current()->menu.reset(menu);
    bar->changed();
}

void MBAR_CurSetRightAligned(MBarObj* bar, bool rightAligned) {
    if (bar == nullptr || bar->current() == nullptr) return;
    bar->current()->rightAligned = rightAligned;
    bar->changed();
}

MenuObj* MBAR_ChosenGetMenu(MBarObj* bar) {
    if (bar == nullptr || bar->chosenTitle < 0 || bar->chosenTitle >= int(bar->titles.size()))
        return nullptr;
    return bar->titles[size_t(bar->chosenTitle)].menu.get();
}

const char* MBAR_ChosenGetLabel(MBarObj* bar) {
    if (bar == nullptr || bar->chosenTitle < 0 || bar->chosenTitle >= int(bar->titles.size()))
        return "";
    return bar->titles[size_t(bar->chosenTitle)].label.c_str();
}
