// The list filter dialog. The window carries its view's column as client
// data; the column knows its dialog and closes it when it goes, so the
// dialog never outlives its view.
#include "kelvane/ComponentViewFilter.h"

#include "kelvane/ProjectColumns.h"
#include "projects/ComponentTypePopUp.h"
#include "projects/ProjectManager.h"
#include "toolkit/Toolkit.h"
#include "workspace/ErrorText.h"
#include "workspace/HelpManager.h"
#include "workspace/WindowManager.h"

namespace {
constexpr TypeCode kListFilterWindowType = typeCode("LFLT");
constexpr const char* kHelpKey = "ListFilters";

// Children of "listFilter".
constexpr int kOkButton = 1;
constexpr int kCancelButton = 2;
constexpr int kByNameRadio = 3;
constexpr int kByTypeRadio = 4;
constexpr int kPatternField = 5;
constexpr int kTypeCombo = 6;

template <class Widget>
Widget* child(WinObj* window, int index) {
    return dynamic_cast<Widget*>(RES_GetNthChild(window, index));
}

void selectRadio(WinObj* window, int index) {
    TBUT_SetSelected(child<TButObj>(window, kByNameRadio), index == kByNameRadio);
    TBUT_SetSelected(child<TButObj>(window, kByTypeRadio), index == kByTypeRadio);
}

ViewColumn* columnOf(WinObj* window) {
    return reinterpret_cast<ViewColumn*>(WGT_GetClientData(window));
}

void closeDialog(WinObj* window) {
    WIN_TerminateGetStatus(window);
}

void confirmFilter(WinObj* window) {
    ComponentView* view = columnOf(window)->getView();
    if (view == nullptr) {
        closeDialog(window);
        return;
    }
    bool byType = TBUT_GetSelected(child<TButObj>(window, kByTypeRadio));
    auto* combo = child<CBoxObj>(window, kTypeCombo);
    TypeCode type = 0;
    const char* typeName = "";
    if (CBOX_GetMaxElts(combo) > 0) {
        CBOX_GoIndex(combo, CBOX_GetSelIndex(combo));
        type = TypeCode(CBOX_CurGetClientData(combo));
        typeName = CBOX_CurGetLabel(combo);
    }
    view->setFilterMode(byType ? kFilterByType : kFilterByName);
    view->setFilter(TED_GetStr(child<TEdObj>(window, kPatternField)));
    view->setFilterComponentType(type, typeName);
    gProjectManager->setUpComponentView(view);
    alertIfFailed(gProjectManager->saveProject());
    closeDialog(window);
}

void listFilterWindowNfy(WinObj* window, int code) {
    if (code == kNfyKeyDown) gHelpManager->checkHelpKey(kHelpKey, window, nullptr);
    if (code == kNfyWindowDestroyed) {
        columnOf(window)->setFilterDialog(nullptr);
        delete gWindowManager->removeWindowRec(window);
    }
    WIN_DefNfy(window, code);
}

void okButtonNfy(TButObj* button, int code) {
    if (code == kNfyActivated)
        confirmFilter(button->window());
    else
        TBUT_DefNfy(button, code);
}

void cancelButtonNfy(TButObj* button, int code) {
    if (code == kNfyActivated)
        closeDialog(button->window());
    else
        TBUT_DefNfy(button, code);
}

// The radio buttons' selection is all the dialog reads; activation and
// focus need nothing more.
void radioButtonNfy(TButObj* button, int code) {
    if (code == kNfyFocusGained || code == kNfyActivated) return;
    TBUT_DefNfy(button, code);
}

void patternFieldNfy(TEdObj* field, int code) {
    if (code == kNfyFocusGained)
        selectRadio(field->window(), kByNameRadio);
    else if (code == kNfyEnterKey)
        confirmFilter(field->window());
    else
        TED_DefNfy(field, code);
}

void typeComboNfy(CBoxObj* combo, int code) {
    if (code == kNfyFocusGained) {
        selectRadio(combo->window(), kByTypeRadio);
        return;
    }
    CBOX_DefNfy(combo, code);
    if (code == kNfyInit) {
        ColorObj* background = WGT_GetBgColor(combo->window());
        WGT_SetBgColor(CBOX_GetTEd(combo), background);
        WGT_SetBgColor(CBOX_GetLBox(combo), background);
        WGT_SetBgColor(CBOX_GetTBut(combo), background);
    }
}
}  // namespace

WinObj* displayComponentViewFilter(ComponentView* view) {
    ViewColumn* column = view != nullptr ? gProjectColumns.columnOf(*view) : nullptr;
    if (column == nullptr) return nullptr;
    if (WinObj* open = column->getFilterDialog()) {
        WIN_PopToFront(open);
        return open;
    }
    WinObj* window = WIN_Load("kelvane", "listFilter");
    if (window == nullptr) return nullptr;
    column->setFilterDialog(window);
    RES_SetNfyProcDS(window, listFilterWindowNfy, 0);
    WGT_SetClientData(window, reinterpret_cast<ClientData>(column));
    RES_SetNfyProcDS(child<TButObj>(window, kOkButton), okButtonNfy, 0);
    RES_SetNfyProcDS(child<TButObj>(window, kCancelButton), cancelButtonNfy, 0);
    RES_SetNfyProcDS(child<TButObj>(window, kByNameRadio), radioButtonNfy, 0);
    RES_SetNfyProcDS(child<TButObj>(window, kByTypeRadio), radioButtonNfy, 0);
    RES_SetNfyProcDS(child<TEdObj>(window, kPatternField), patternFieldNfy, 0);
    auto* combo = child<CBoxObj>(window, kTypeCombo);
    RES_SetNfyProcDS(combo, typeComboNfy, 0);
    WIN_Init(window);
    gWindowManager->addWindowRec(kListFilterWindowType, window, nullptr, nullptr);

    TED_SetStr(child<TEdObj>(window, kPatternField), view->getFilter().getDisplayPattern());
    buildProjectPopUp(combo);
    selectPopUpItem(combo, view->getFilterTypeIdent());
    selectRadio(window, view->getFilterMode() == kFilterByType ? kByTypeRadio : kByNameRadio);
    WIN_Show(window);
    return window;
}
