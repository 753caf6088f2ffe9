// MBarObj: a window's menu bar, a row of titles each opening a menu. The bar
// owns the menus attached to its titles. When the user chooses an item, the
// bar remembers the title and the menu's chosen item, and the window gets
// kNfyMenuChosen (184).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "toolkit/widgets/MenuObj.h"

// One title of a menu bar with the menu it opens.
struct MenuTitle {
    std::string label;              // title text ("&Help")
    std::unique_ptr<MenuObj> menu;  // the title's menu, or null
    bool rightAligned = false;      // placed at the right end of the bar
};

class MBarObj {
  public:
    explicit MBarObj(WgtObj* ownerWindow) : owner(ownerWindow) {}
    MBarObj(const MBarObj& other, WgtObj* owner);

    MenuTitle* current();
    void changed();

    std::vector<MenuTitle> titles;  // in display order
    int cursor = -1;                // current title for MBAR_Cur*
    int chosenTitle = -1;           // title of the last choice, -1 for none
    WgtObj* owner;                  // the window that shows the bar
};

void MBAR_GoFirst(MBarObj* bar);
void MBAR_GoNext(MBarObj* bar);
void MBAR_GoLast(MBarObj* bar);
// Makes the first title with this label current; false when there is none.
bool MBAR_GoLabel(MBarObj* bar, const char* label);
bool MBAR_IsOk(const MBarObj* bar);
// Appends a title without a menu and makes it current.
void MBAR_AddItem(MBarObj* bar, const char* label);
const char* MBAR_CurGetLabel(MBarObj* bar);
void MBAR_CurSetLabel(MBarObj* bar, const char* label);
MenuObj* MBAR_CurGetSubMenu(MBarObj* bar);
// Attaches `menu` to the current title; the bar owns it (a previous menu is freed).
void MBAR_CurSetSubMenu(MBarObj* bar, MenuObj* menu);
void MBAR_CurSetRightAligned(MBarObj* bar, bool rightAligned);
// The menu of the last choice (its MENU_Chosen* tell the item), or null.
MenuObj* MBAR_ChosenGetMenu(MBarObj* bar);
const char* MBAR_ChosenGetLabel(MBarObj* bar);
