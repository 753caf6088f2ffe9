// CBoxObj: a combo box (option menu). Its elements carry a label and client
// data; a cursor walks them (CBOX_Go*, CBOX_Cur*) and one of them is chosen.
// When the user chooses an element it becomes the chosen and the current
// one and the combo gets kNfyEltChosen (162). The combo is drawn from three
// parts that the application may colour: its text field (child 0), its
// button (child 1) and its drop-down list (child 2).
#pragma once

#include <string>
#include <vector>

#include "toolkit/widgets/PanelObj.h"

class LBoxObj;
class TButObj;
class TEdObj;

// One choice of a combo box: its label and the application's value.
struct ComboElement {
    std::string label;          // text shown
    ClientData clientData = 0;  // the application's value
};

class CBoxObj : public PanelObj {
  public:
    CBoxObj();
    // The copy keeps the parts but starts without elements.
    CBoxObj(const CBoxObj& other);

    std::unique_ptr<WgtObj> clone() const override;
    ComboElement* current();
    // Shows the chosen element's label in the text field.
    void showChosen();

    std::vector<ComboElement> elements;  // in display order
    int cursor = 0;                      // current element; out of range: none
    int chosen = -1;                     // the chosen element, -1 for none
};

void CBOX_DefNfy(CBoxObj* combo, int code);
void CBOX_GoFirst(CBoxObj* combo);
void CBOX_GoNext(CBoxObj* combo);
void CBOX_GoIndex(CBoxObj* combo, int index);
bool CBOX_IsOk(const CBoxObj* combo);
// Adds an element after the current one (at the end when there is no
// current one) and makes it current.
void CBOX_CurAddElt(CBoxObj* combo, const char* label, ClientData data);
// Removes the current element; the next one becomes current.
void CBOX_CurRemoveElt(CBoxObj* combo);
// Makes the current element the chosen one (no notification).
void CBOX_CurSelect(CBoxObj* combo);
const char* CBOX_CurGetLabel(CBoxObj* combo);
void CBOX_CurSetLabel(CBoxObj* combo, const char* label);
ClientData CBOX_CurGetClientData(CBoxObj* combo);
void CBOX_CurSetClientData(CBoxObj* combo, ClientData data);
// The number of elements.
int CBOX_GetMaxElts(const CBoxObj* combo);
// The index of the chosen element, -1 for none.
int CBOX_GetSelIndex(const CBoxObj* combo);
LBoxObj* CBOX_GetLBox(CBoxObj* combo);
TButObj* CBOX_GetTBut(CBoxObj* combo);
TEdObj* CBOX_GetTEd(CBoxObj* combo);
