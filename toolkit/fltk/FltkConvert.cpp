// FLTK value conversions.
#include "toolkit/fltk/FltkConvert.h"

#include <FL/Fl.H>
#include <FL/Fl_Menu_Item.H>

#include "toolkit/base/KeyCodes.h"
#include "toolkit/widgets/MenuObj.h"

Fl_Color toFlColor(const ColorObj& color) {
    return fl_rgb_color(color.red, color.green, color.blue);
}

Fl_Font toFlFont(const FontObj& font) {
    Fl_Font base = font.family == FontFamily::Serif  ? FL_TIMES
                   : font.family == FontFamily::Mono ? FL_COURIER
                                                     : FL_HELVETICA;
    // FLTK's built-in faces come in the order plain, bold, italic, bold italic.
    return base + (font.bold ? FL_BOLD : 0) + (font.italic ? FL_ITALIC : 0);
}

Fl_Cursor toFlCursor(const CursObj& cursor) {
    switch (cursor.shape) {
        case PointerShape::ResizeHorizontal:
            return FL_CURSOR_WE;
        case PointerShape::ResizeVertical:
            return FL_CURSOR_NS;
        case PointerShape::Wait:
            return FL_CURSOR_WAIT;
        case PointerShape::Text:
            return FL_CURSOR_INSERT;
        case PointerShape::Hand:
            return FL_CURSOR_HAND;
        case PointerShape::Cross:
            return FL_CURSOR_CROSS;
        case PointerShape::Arrow:
            break;
    }
    return FL_CURSOR_DEFAULT;
}

int keyCodeOfEvent() {
    int key = Fl::event_key();
    if (key > FL_F && key <= FL_F + 12) return kKeyF1 + (key - FL_F - 1);
    switch (key) {
        case FL_Enter:
        case FL_KP_Enter:
            return kKeyReturn;
        case FL_Escape:
            return kKeyEscape;
        case FL_BackSpace:
            return kKeyBackspace;
        case FL_Tab:
            return kKeyTab;
        case FL_Delete:
            return kKeyDelete;
        case FL_Left:
            return kKeyLeft;
        case FL_Up:
            return kKeyUp;
        case FL_Right:
            return kKeyRight;
        case FL_Down:
            return kKeyDown;
        default:
            return key > 0 && key < 128 ? key : kKeyNone;
    }
}

int modifiersOfEvent() {
    return (Fl::event_state(FL_SHIFT) ? kModShift : 0) |
           (Fl::event_state(FL_CTRL) ? kModControl : 0) | (Fl::event_state(FL_ALT) ? kModAlt : 0);
}

int toFlMenuFlags(const MenuItem& item) {
    return (item.enabled ? 0 : FL_MENU_INACTIVE) | (item.checkedMode ? FL_MENU_TOGGLE : 0) |
           (item.checked ? FL_MENU_VALUE : 0);
}

int toFlShortcut(const MenuItem& item) {
    int key = 0;
    if (item.accelCode == kAccelCharacter)
        key = item.accelKey >= 'A' && item.accelKey <= 'Z' ? item.accelKey - 'A' + 'a'
                                                           : item.accelKey;
    else if (item.accelCode >= kKeyF1 && item.accelCode <= kKeyF12)
        key = FL_F + 1 + (item.accelCode - kKeyF1);
    if (key == 0) return 0;
    return key | ((item.accelModifiers & kModShift) ? FL_SHIFT : 0) |
           ((item.accelModifiers & kModControl) ? FL_CTRL : 0) |
           ((item.accelModifiers & kModAlt) ? FL_ALT : 0);
}
