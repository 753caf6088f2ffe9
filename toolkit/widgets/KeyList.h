// Accelerator key lists: the keys that activate a button (TBUT_SetAccelKeys),
// such as the hidden help button of a modal dialog that answers F1.
#pragma once

#include <vector>

// One key with the modifiers that must be held with it.
struct KyEltObj {
    int keyCode = 0;    // key (KeyCodes.h)
    int modifiers = 0;  // modifier bits that must be held (KeyModifier)
};

// The keys that activate a button, any one of them.
struct KyLstObj {
    std::vector<KyEltObj> keys;  // any of them activates the owner
};

KyLstObj* KYLST_Create();
void KYLST_Terminate(KyLstObj* list);
// The list's keys as an array; `count` receives their number.
KyEltObj* KYLST_GetKeysArray(KyLstObj* list, int* count);
// Appends a key to the list and returns it.
KyEltObj* KYELT_Create(KyLstObj* list);
void KYELT_SetKeyCode(KyEltObj* key, int keyCode, int modifiers = 0);
// True when the list holds the key with exactly these modifiers.
bool KYLST_Matches(const KyLstObj* list, int keyCode, int modifiers);
