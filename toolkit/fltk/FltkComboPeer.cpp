// Combo box peers.
#include "toolkit/fltk/FltkComboPeer.h"

#include "toolkit/fltk/FltkConvert.h"
#include "toolkit/widgets/CBoxObj.h"
#include "toolkit/widgets/Dispatch.h"
#include "toolkit/widgets/TEdObj.h"

FltkComboPeer::FltkComboPeer(int x, int y, int width, int height)
    : FltkPeer<Fl_Choice>(x, y, width, height) {
    callback(chosen);
}

void FltkComboPeer::sync(CBoxObj* combo) {
    items_.clear();
    for (const ComboElement& element : combo->elements)
        items_.push_back({element.label.c_str(), 0, nullptr, nullptr, 0, 0, FL_HELVETICA, 12, 0});
    items_.push_back({nullptr, 0, nullptr, nullptr, 0, 0, 0, 0, 0});
    menu(items_.data());
    if (combo->chosen >= 0) value(combo->chosen);
    // The application colours the combo through its text field.
    if (WgtObj* field = CBOX_GetTEd(combo); field && field->bgColor)
        color(toFlColor(*field->bgColor));
}

void FltkComboPeer::chosen(Fl_Widget* peer, void*) {
    if (auto* combo = static_cast<CBoxObj*>(objectOf(peer)))
        dispatchComboChoice(combo, static_cast<Fl_Choice*>(peer)->value());
}
