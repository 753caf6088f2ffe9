// Component-type pop-ups over the current project's component lists.
#include "projects/ComponentTypePopUp.h"

#include "projects/EngineInfo.h"
#include "projects/OKAFile.h"
#include "projects/ProjectManager.h"
#include "toolkit/widgets/CBoxObj.h"

TypeCode gDefaultComponentType = 0;

void buildProjectPopUp(CBoxObj* combo) {
    if (combo == nullptr) return;
    CBOX_GoFirst(combo);
    while (CBOX_IsOk(combo)) CBOX_CurRemoveElt(combo);
    if (gProjectManager != nullptr) {
        MasterComponentList& lists = gProjectManager->getMasterComponentList();
        for (long n = 0; n < lists.getCount(); ++n) {
            ComponentList* list = lists.getNthList(n);
            TypeCode type = list->getTypeIdent();
            if (type == kEngineType || type == kMissingFileType) continue;
            CBOX_CurAddElt(combo, list->getName(), ClientData(type));
        }
    }
    selectPopUpItem(combo, gDefaultComponentType);
}

void selectPopUpItem(CBoxObj* combo, TypeCode type) {
    if (combo == nullptr || CBOX_GetMaxElts(combo) == 0) return;
    int count = CBOX_GetMaxElts(combo);
    int index = 0;
    while (index < count) {
        CBOX_GoIndex(combo, index);
        if (TypeCode(CBOX_CurGetClientData(combo)) == type) break;
        ++index;
    }
    CBOX_GoIndex(combo, index < count ? index : 0);
    CBOX_CurSelect(combo);
}
