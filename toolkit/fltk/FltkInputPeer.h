// The FLTK peer of a text field: edits become kNfyKeyTyped with the new
// text, Enter in a single-line field becomes kNfyEnterKey.
#pragma once

#include <FL/Fl.H>

#include "toolkit/fltk/FltkPeer.h"
#include "toolkit/widgets/Dispatch.h"
#include "toolkit/widgets/TEdObj.h"

template <class Base>
class FltkInputPeer : public FltkPeer<Base> {
  public:
    FltkInputPeer(int x, int y, int width, int height) : FltkPeer<Base>(x, y, width, height) {
        this->when(FL_WHEN_CHANGED);
        this->callback(edited);
    }

    int handle(int event) override {
        auto* field = static_cast<TEdObj*>(objectOf(this));
        bool enter =
            event == FL_KEYBOARD && (Fl::event_key() == FL_Enter || Fl::event_key() == FL_KP_Enter);
        if (field && enter && !field->multiLine) {
            dispatchEnterKey(field);
            return 1;
        }
        return FltkPeer<Base>::handle(event);
    }

  private:
    static void edited(Fl_Widget* peer, void*) {
        if (auto* field = static_cast<TEdObj*>(objectOf(peer)))
            dispatchTextEdited(field, static_cast<Base*>(peer)->value());
    }
};
