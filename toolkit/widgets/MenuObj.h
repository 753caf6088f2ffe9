// MenuObj: a menu of items with a cursor (MENU_Go*, MENU_Cur*) and the
// item the user chose. A menu is either attached to a menu bar title (the
// bar owns it) or used as a pop-up by its creator (MENU_Create,
// MENU_OpenProcess, MENU_Terminate).
#pragma once

#include <string>
#include <vector>

#include "toolkit/widgets/WgtObj.h"

// One item of a menu: a command with its label, id and accelerator, or a separator.
struct MenuItem {
    std::string label;          // text shown; '&' marks the mnemonic
    int id = 0;                 // the application's command number
    ClientData clientData = 0;  // the application's value
    bool separator = false;     // a dividing line instead of a command
    bool enabled = true;        // can be chosen
    bool checkedMode = false;   // shows a check mark box
    bool checked = false;       // the check mark is on
    int accelCode = 0;          // accelerator key code (KeyCodes.h); 1: the character below
    int accelModifiers = 0;     // accelerator modifier bits (KeyModifier)
    char accelKey = 0;          // accelerator character when accelCode is 1
    std::string accelLabel;     // accelerator text shown at the right ("F1")
    int separatorStyle = 0;     // look of a separator line
};

// Accelerator code meaning "the key is the item's accelerator character".
inline constexpr int kAccelCharacter = 1;

class MenuObj {
  public:
    // Tells the window whose menu bar holds the menu that it changed.
    void changed();
    MenuItem* current();

    std::vector<MenuItem> items;  // in display order
    int cursor = -1;              // current item for MENU_Cur*; out of range: none
    int chosen = -1;              // item the user chose last, -1 for none
    WgtObj* owner = nullptr;      // window whose menu bar shows the menu, or null
};

MenuObj* MENU_Create();
void MENU_Terminate(MenuObj* menu);
// Adds a command item and makes it current: in front of the current item
// when `beforeCurrent` is set and there is one, else at the end.
void MENU_AddItem(MenuObj* menu, const char* label, int id, bool beforeCurrent = false);
void MENU_AddSeparator(MenuObj* menu);
void MENU_GoFirst(MenuObj* menu);
void MENU_GoNext(MenuObj* menu);
void MENU_GoLast(MenuObj* menu);
bool MENU_IsOk(const MenuObj* menu);
int MENU_GetNumElts(const MenuObj* menu);
void MENU_CurSetLabel(MenuObj* menu, const char* label);
void MENU_CurSetId(MenuObj* menu, int id);
void MENU_CurSetClientData(MenuObj* menu, ClientData data);
void MENU_CurSetEnabled(MenuObj* menu, bool enabled);
void MENU_CurSetChecked(MenuObj* menu, bool checked);
void MENU_CurSetCheckedMode(MenuObj* menu, bool checkedMode);
void MENU_CurSetAccelKey(MenuObj* menu, int code, int modifiers, char key);
void MENU_CurSetAccelLabel(MenuObj* menu, const char* label);
void MENU_CurSetSepStyle(MenuObj* menu, int style);
// The current item's label ("" without one); valid until the item changes.
const char* MENU_CurGetLabel(MenuObj* menu);
int MENU_CurGetId(MenuObj* menu);
ClientData MENU_CurGetClientData(MenuObj* menu);
// Shows the menu as a pop-up at the pointer over `anchor` and tracks it
// until the user chooses an item or dismisses it; true when one was chosen.
bool MENU_OpenProcess(MenuObj* menu, WgtObj* anchor);
bool MENU_HasChoice(const MenuObj* menu);
const char* MENU_ChosenGetLabel(const MenuObj* menu);
int MENU_ChosenGetId(const MenuObj* menu);
ClientData MENU_ChosenGetClientData(const MenuObj* menu);
