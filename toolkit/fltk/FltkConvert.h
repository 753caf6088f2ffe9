// Conversions between the toolkit's descriptions and FLTK's values:
// colours, fonts, cursors, keys and accelerators.
#pragma once

#include <FL/Enumerations.H>

#include "toolkit/base/GraphicResources.h"

struct MenuItem;

Fl_Color toFlColor(const ColorObj& color);
Fl_Font toFlFont(const FontObj& font);
Fl_Cursor toFlCursor(const CursObj& cursor);
// The toolkit key code of FLTK's current key event (0 for keys it does not know).
int keyCodeOfEvent();
// The toolkit modifier bits of FLTK's current event.
int modifiersOfEvent();
// FLTK's shortcut value for a menu item's accelerator (0 for none).
int toFlShortcut(const MenuItem& item);
// FLTK's menu flags for a menu item's state: inactive, check box, checked.
int toFlMenuFlags(const MenuItem& item);
