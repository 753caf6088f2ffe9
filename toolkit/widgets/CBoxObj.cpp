// Combo boxes: elements, cursor and the chosen element.
#include "toolkit/widgets/CBoxObj.h"

#include "toolkit/widgets/LBoxObj.h"
#include "toolkit/widgets/TButObj.h"
#include "toolkit/widgets/TEdObj.h"

namespace {
enum ComboPart { kPartField = 0, kPartButton = 1, kPartList = 2 };
}

CBoxObj::CBoxObj() : PanelObj(WgtKind::ComboBox) {
    auto field = std::make_unique<TEdObj>();
    field->editable = false;
    addChild(std::move(field));
    addChild(std::make_unique<TButObj>());
    addChild(std::make_unique<LBoxObj>());
}

CBoxObj::CBoxObj(const CBoxObj& other) : PanelObj(other) {}

std::unique_ptr<WgtObj> CBoxObj::clone() const {
    return std::make_unique<CBoxObj>(*this);
}

ComboElement* CBoxObj::current() {
    return cursor >= 0 && cursor < int(elements.size()) ? &elements[size_t(cursor)] : nullptr;
}

void CBoxObj::showChosen() {
    bool valid = chosen >= 0 && chosen < int(elements.size());
    TED_SetStr(CBOX_GetTEd(this), valid ? elements[size_t(chosen)].label.c_str() : "");
    changed();
}

void CBOX_DefNfy(CBoxObj* combo, int code) {
    if (combo) combo->CBoxObj::defaultNotify(code);
}

void CBOX_GoFirst(CBoxObj* combo) {
    if (combo) combo->cursor = 0;
}
void CBOX_GoNext(CBoxObj* combo) {
    if (combo && combo->cursor < int(combo->elements.size())) ++combo->cursor;
}
void CBOX_GoIndex(CBoxObj* combo, int index) {
    if (combo) combo->cursor = index;
}
bool CBOX_IsOk(const CBoxObj* combo) {
    return combo != nullptr && combo->cursor >= 0 && combo->cursor < int(combo->elements.size());
}

void CBOX_CurAddElt(CBoxObj* combo, const char* label, ClientData data) {
    if (combo == nullptr) return;
    combo->cursor = combo->current() ? combo->cursor + 1 : int(combo->elements.size());
    combo->elements.insert(combo->elements.begin() + combo->cursor,
                           ComboElement{label ? label : "", data});
    if (combo->chosen >= combo->cursor) ++combo->chosen;
    combo->changed();
}

void CBOX_CurRemoveElt(CBoxObj* combo) {
    if (combo == nullptr || combo->current() == nullptr) return;
    combo->elements.erase(combo->elements.begin() + combo->cursor);
    if (combo->chosen == combo->cursor)
        combo->chosen = -1;
    else if (combo->chosen > combo->cursor)
        --combo->chosen;
    combo->showChosen();
}

void CBOX_CurSelect(CBoxObj* combo) {
    if (combo == nullptr || combo->current() == nullptr) return;
    combo->chosen = combo->cursor;
    combo->showChosen();
}

const char* CBOX_CurGetLabel(CBoxObj* combo) {
    return combo && combo->current() ? combo->current()->label.c_str() : "";
}

void CBOX_CurSetLabel(CBoxObj* combo, const char* label) {
    if (combo == nullptr || combo->current() == nullptr) return;
    combo->current()->label = label ? label : "";
    combo->showChosen();
}

ClientData CBOX_CurGetClientData(CBoxObj* combo) {
    return combo && combo->current() ? combo->current()->clientData : 0;
}

void CBOX_CurSetClientData(CBoxObj* combo, ClientData data) {
    if (combo && combo->current()) combo->current()->clientData = data;
}

int CBOX_GetMaxElts(const CBoxObj* combo) {
    return combo ? int(combo->elements.size()) : 0;
}
int CBOX_GetSelIndex(const CBoxObj* combo) {
    return combo ? combo->chosen : -1;
}

LBoxObj* CBOX_GetLBox(CBoxObj* combo) {
    return combo ? static_cast<LBoxObj*>(combo->childAt(kPartList)) : nullptr;
}
TButObj* CBOX_GetTBut(CBoxObj* combo) {
    return combo ? static_cast<TButObj*>(combo->childAt(kPartButton)) : nullptr;
}
TEdObj* CBOX_GetTEd(CBoxObj* combo) {
    return combo ? static_cast<TEdObj*>(combo->childAt(kPartField)) : nullptr;
}
