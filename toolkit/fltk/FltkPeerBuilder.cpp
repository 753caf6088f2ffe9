// Peer construction and state copying, per kind of object. Kinds with
// their own event handling have their own peer classes (Fltk*Peer).
#include "toolkit/fltk/FltkPeerBuilder.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Multiline_Input.H>
#include <FL/Fl_Round_Button.H>
#include <FL/Fl_Scroll.H>

#include "toolkit/fltk/FltkBackendState.h"
#include "toolkit/fltk/FltkComboPeer.h"
#include "toolkit/fltk/FltkConvert.h"
#include "toolkit/fltk/FltkImages.h"
#include "toolkit/fltk/FltkInputPeer.h"
#include "toolkit/fltk/FltkListPeer.h"
#include "toolkit/fltk/FltkScrollPeer.h"
#include "toolkit/fltk/FltkWindowPeer.h"
#include "toolkit/widgets/CBoxObj.h"
#include "toolkit/widgets/Dispatch.h"
#include "toolkit/widgets/IAreaObj.h"
#include "toolkit/widgets/LBoxObj.h"
#include "toolkit/widgets/SPanlObj.h"
#include "toolkit/widgets/TAreaObj.h"
#include "toolkit/widgets/TButObj.h"
#include "toolkit/widgets/TEdObj.h"
#include "toolkit/widgets/WinObj.h"

namespace {

void buttonActivated(Fl_Widget* peer, void*) {
    if (auto* button = static_cast<TButObj*>(objectOf(peer))) dispatchActivate(button);
}

Fl_Widget* makePeer(WgtObj* object, int x, int y, int width, int height) {
    switch (object->kind) {
        case WgtKind::Window:
            return nullptr;  // windows are made by ensureWindowPeer
        case WgtKind::Panel:
            return new FltkPeer<Fl_Group>(x, y, width, height);
        case WgtKind::ScrollPanel:
            return new FltkScrollPeer(x, y, width, height);
        case WgtKind::ListBox:
            return new FltkListPeer(static_cast<LBoxObj*>(object), x, y, width, height);
        case WgtKind::ComboBox:
            return new FltkComboPeer(x, y, width, height);
        case WgtKind::Label:
        case WgtKind::IconArea:
            return new FltkPeer<Fl_Box>(x, y, width, height);
        case WgtKind::TextField:
            if (static_cast<TEdObj*>(object)->multiLine)
                return new FltkInputPeer<Fl_Multiline_Input>(x, y, width, height);
            return new FltkInputPeer<Fl_Input>(x, y, width, height);
        case WgtKind::Button: {
            ButtonStyle style = static_cast<TButObj*>(object)->style;
            Fl_Button* button = nullptr;
            if (style == ButtonStyle::Radio)
                button = new FltkPeer<Fl_Round_Button>(x, y, width, height);
            else if (style == ButtonStyle::Toggle)
                button = new FltkPeer<Fl_Check_Button>(x, y, width, height);
            else
                button = new FltkPeer<Fl_Button>(x, y, width, height);
            button->callback(buttonActivated);
            return button;
        }
    }
    return nullptr;
}

// Where FLTK wants the peer: window coordinates, below the menu bar; inside
// a scrolling panel shifted by the scroll position, as Fl_Scroll keeps it.
void peerPosition(WgtObj* object, int* x, int* y) {
    PanelObj* parent = object->parent;
    if (parent == nullptr || parent->kind == WgtKind::Window) {
        *x = object->box.x;
        *y = object->box.y + fltkMenuOffset(object->window());
        return;
    }
    auto* parentPeer = static_cast<Fl_Widget*>(parent->peer);
    *x = parentPeer->x() + object->box.x;
    *y = parentPeer->y() + object->box.y;
    if (parent->kind == WgtKind::ScrollPanel) {
        *x -= static_cast<Fl_Scroll*>(parentPeer)->xposition();
        *y -= static_cast<Fl_Scroll*>(parentPeer)->yposition();
    }
}

void buildChildren(PanelObj* panel);

void buildPeer(WgtObj* object, Fl_Group* parentPeer) {
    int x = 0, y = 0;
    peerPosition(object, &x, &y);
    Fl_Group::current(nullptr);  // FLTK would add new widgets to the open group
    Fl_Widget* peer = makePeer(object, x, y, object->box.width, object->box.height);
    if (auto* group = dynamic_cast<Fl_Group*>(peer)) {
        group->end();
        // Children keep their place relative to the group's corner; the
        // toolkit moves those whose resize flags say so.
        if (object->kind == WgtKind::Panel) group->resizable(nullptr);
    }
    peer->user_data(object);
    object->peer = peer;
    parentPeer->add(peer);
    // Combo parts are drawn by the combo's own peer.
    if (object->kind != WgtKind::ComboBox)
        if (auto* panel = dynamic_cast<PanelObj*>(object)) buildChildren(panel);
    syncPeer(object);
}

void buildChildren(PanelObj* panel) {
    auto* group = static_cast<Fl_Group*>(panel->peer);
    for (auto& child : panel->children)
        if (child->peer == nullptr) buildPeer(child.get(), group);
}

Fl_Boxtype frameOf(const WgtObj* object, Fl_Boxtype normal) {
    bool noFill = object->bgColor != nullptr && object->bgColor->transparent;
    bool noFrame = object->pen != nullptr && object->pen->style == PenStyle::Invisible;
    if (noFill && noFrame) return FL_NO_BOX;
    if (noFrame) return FL_FLAT_BOX;
    return normal;
}

void syncButton(TButObj* button, Fl_Button* peer) {
    peer->copy_label(button->label.c_str());
    peer->value(button->selected ? 1 : 0);
    peer->labelfont(button->isDefault
                        ? toFlFont(*(button->font ? button->font : FONT_Default())) | FL_BOLD
                        : peer->labelfont());
    Fl_Image* image = button->icon ? fltkImageOf(*button->icon) : nullptr;
    peer->image(image);
    if (button->style == ButtonStyle::Push) {
        peer->box(frameOf(button, FL_UP_BOX));
        // Icon buttons (the tool icons) wrap a long name onto a second line.
        if (image) peer->align(FL_ALIGN_IMAGE_OVER_TEXT | FL_ALIGN_INSIDE | FL_ALIGN_WRAP);
    }
}

template <class Input>
void syncField(TEdObj* field, Input* peer) {
    if (field->text != peer->value()) peer->value(field->text.c_str());
    peer->readonly(field->editable ? 0 : 1);
    peer->wrap(field->multiLine ? 1 : 0);
    if (field->editable) {
        peer->position(field->selectionEnd, field->selectionStart);
    } else {
        // Read-only fields are texts on the window, shown from their start.
        peer->box(FL_FLAT_BOX);
        peer->color(field->bgColor ? toFlColor(*field->bgColor) : FL_BACKGROUND_COLOR);
        peer->position(0, 0);
    }
    const FontObj& font = field->font ? *field->font : *FONT_Default();
    peer->textfont(toFlFont(font));
    peer->textsize(font.size);
}

void syncKind(WgtObj* object, Fl_Widget* peer) {
    switch (object->kind) {
        case WgtKind::Window:
            static_cast<FltkWindowPeer*>(peer)->sync();
            break;
        case WgtKind::Button:
            syncButton(static_cast<TButObj*>(object), static_cast<Fl_Button*>(peer));
            break;
        case WgtKind::ComboBox:
            static_cast<FltkComboPeer*>(peer)->sync(static_cast<CBoxObj*>(object));
            break;
        case WgtKind::ListBox:
            static_cast<FltkListPeer*>(peer)->sync();
            break;
        case WgtKind::TextField: {
            auto* field = static_cast<TEdObj*>(object);
            if (field->multiLine)
                syncField(field, static_cast<Fl_Multiline_Input*>(peer));
            else
                syncField(field, static_cast<Fl_Input*>(peer));
            break;
        }
        case WgtKind::Label: {
            auto* label = static_cast<TAreaObj*>(object);
            peer->copy_label(label->label.c_str());
            Fl_Align horizontal = label->align == TextAlign::Center  ? 0
                                  : label->align == TextAlign::Right ? FL_ALIGN_RIGHT
                                                                     : FL_ALIGN_LEFT;
            peer->align(horizontal | FL_ALIGN_INSIDE | FL_ALIGN_CLIP);
            peer->box(label->bgColor && !label->bgColor->transparent ? FL_FLAT_BOX : FL_NO_BOX);
            break;
        }
        case WgtKind::IconArea: {
            IconObj& icon = static_cast<IAreaObj*>(object)->icon;
            peer->image(icon.file.empty() ? nullptr : fltkImageOf(icon));
            break;
        }
        case WgtKind::Panel: {
            const std::string& title = static_cast<PanelObj*>(object)->title;
            peer->copy_label(title.c_str());
            peer->box(title.empty() ? (object->bgColor ? FL_FLAT_BOX : FL_NO_BOX)
                                    : FL_ENGRAVED_BOX);
            peer->align(FL_ALIGN_TOP_LEFT | FL_ALIGN_INSIDE);
            break;
        }
        case WgtKind::ScrollPanel:
            static_cast<FltkScrollPeer*>(peer)->sync(static_cast<SPanlObj*>(object));
            break;
    }
}

// Moves every widget below `panel` to where its state says (after the
// window's content moved under a new menu bar).
void syncTree(PanelObj* panel) {
    for (auto& child : panel->children) {
        syncPeer(child.get());
        if (auto* inner = dynamic_cast<PanelObj*>(child.get());
            inner && inner->kind != WgtKind::ComboBox)
            syncTree(inner);
    }
}

}  // namespace

Fl_Widget* ensureWindowPeer(WinObj* window) {
    if (window->peer == nullptr) {
        Fl_Group::current(nullptr);
        auto* peer = new FltkWindowPeer(window);
        window->peer = static_cast<Fl_Widget*>(peer);
        buildChildren(window);
    }
    return static_cast<Fl_Widget*>(window->peer);
}

void syncPeer(WgtObj* object) {
    auto* peer = static_cast<Fl_Widget*>(object->peer);
    if (peer == nullptr) {
        PanelObj* parent = object->parent;
        if (parent == nullptr || parent->peer == nullptr) return;
        // A combo's parts are drawn by the combo's peer; any other widget
        // added to a panel that already has a peer gets one now.
        if (parent->kind == WgtKind::ComboBox)
            syncPeer(parent);
        else
            buildPeer(object, static_cast<Fl_Group*>(parent->peer));
        return;
    }
    if (object->kind != WgtKind::Window) {
        int x = 0, y = 0;
        peerPosition(object, &x, &y);
        // Hidden helpers may be given a negative size; FLTK wants none.
        int width = object->box.width > 0 ? object->box.width : 0;
        int height = object->box.height > 0 ? object->box.height : 0;
        if (x != peer->x() || y != peer->y() || width != peer->w() || height != peer->h())
            peer->resize(x, y, width, height);
        if (object->bgColor && !object->bgColor->transparent)
            peer->color(toFlColor(*object->bgColor));
        const FontObj& font = object->font ? *object->font : *FONT_Default();
        peer->labelfont(toFlFont(font));
        peer->labelsize(font.size);
        if (object->fgColor) peer->labelcolor(toFlColor(*object->fgColor));
        object->visible ? peer->show() : peer->hide();
        object->enabled ? peer->activate() : peer->deactivate();
    }
    syncKind(object, peer);
    if (object->kind == WgtKind::Window &&
        static_cast<FltkWindowPeer*>(peer)->takeMenuOffsetChange())
        syncTree(static_cast<PanelObj*>(object));
    if (object->kind != WgtKind::ComboBox)
        if (auto* panel = dynamic_cast<PanelObj*>(object)) buildChildren(panel);
    peer->redraw();
}

void releasePeer(WgtObj* object) {
    auto* peer = static_cast<Fl_Widget*>(object->peer);
    if (peer == nullptr) return;
    object->peer = nullptr;
    peer->user_data(nullptr);
    if (Fl_Group* parent = peer->parent()) parent->remove(peer);
    Fl::delete_widget(peer);
}
