// Accelerator key lists.
#include "toolkit/widgets/KeyList.h"

KyLstObj* KYLST_Create() {
    return new KyLstObj;
}
void KYLST_Terminate(KyLstObj* list) {
    delete list;
}

KyEltObj* KYLST_GetKeysArray(KyLstObj* list, int* count) {
    if (count != nullptr) *count = list ? int(list->keys.size()) : 0;
    return list && !list->keys.empty() ? list->keys.data() : nullptr;
}

KyEltObj* KYELT_Create(KyLstObj* list) {
    if (list == nullptr) return nullptr;
    list->keys.emplace_back();
    return &list->keys.back();
}

void KYELT_SetKeyCode(KyEltObj* key, int keyCode, int modifiers) {
    if (key == nullptr) return;
    key->keyCode = keyCode;
    key->modifiers = modifiers;
}

bool KYLST_Matches(const KyLstObj* list, int keyCode, int modifiers) {
    if (list == nullptr) return false;
    for (const KyEltObj& key : list->keys)
        if (key.keyCode == keyCode && key.modifiers == modifiers) return true;
    return false;
}
