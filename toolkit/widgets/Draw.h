// Drawing into a widget, inside its draw notification or after
// DRAW_SetWgtContext. Boxes are in the widget's own coordinates. The
// drawing state (colours, pen, font, clip stack) belongs to the widget being
// drawn and starts afresh with each DRAW_SetWgtContext.
//
// DRAW_Rect fills the box with the background colour (unless transparent)
// and frames it with the foreground colour and the pen (unless invisible).
// DRAW_Text draws in the foreground colour, vertically centred in the box;
// its flags combine the kDrawText* bits below.
#pragma once

#include <string>

#include "toolkit/base/GraphicResources.h"
#include "toolkit/base/Rect16.h"

class WgtObj;
class LBoxObj;

enum DrawTextFlags : int {
    kDrawTextSingleLine = 1,  // line ends are drawn as blanks
    kDrawTextCenter = 2,      // centred horizontally (default: left)
    kDrawTextRight = 4,       // right-aligned
    kDrawTextEllipsis = 64,   // a text too wide ends in "..."
    kDrawTextClip = 256,      // nothing is drawn outside the box
};

void DRAW_SetWgtContext(WgtObj* widget);
void DRAW_SetColors(WgtObj* widget, ColorObj* foreground, ColorObj* background);
void DRAW_SetPen(WgtObj* widget, PenObj* pen);
void DRAW_SetFont(WgtObj* widget, FontObj* font);
void DRAW_Text(WgtObj* widget, const Rect16* box, int flags, const char* text);
// Width and height of `text` in the current font.
void DRAW_QueryTextExt(WgtObj* widget, const char* text, int* width, int* height);
void DRAW_Rect(WgtObj* widget, const Rect16* box);
void DRAW_Icon(WgtObj* widget, const Rect16* box, IconObj* icon);
// Limits drawing to the box (within any enclosing clip) until DRAW_ClipEnd.
void DRAW_ClipRect(WgtObj* widget, const Rect16* box);
void DRAW_ClipEnd(WgtObj* widget);
// Asks for the part `box` of the widget to be drawn again.
void DRAW_InvalRect(WgtObj* widget, const Rect16* box);
// Sounds the display's bell (without a display it is logged). The widget
// observer hears it too.
void DSPLY_Beep();

// One recorded drawing call (see Automation.h).
struct DrawRecord {
    std::string operation;                 // "text", "rect", "icon", "clip", "clipEnd"
    const WgtObj* widget = nullptr;        // the widget drawn into
    Rect16 box;                            // in the widget's coordinates
    int flags = 0;                         // DRAW_Text flags
    std::string text;                      // DRAW_Text text, or the icon's file
    const ColorObj* foreground = nullptr;  // text and frame colour in effect
    const ColorObj* background = nullptr;  // fill colour in effect
    const PenObj* pen = nullptr;           // pen in effect
    const FontObj* font = nullptr;         // font in effect
};

// The list box's own drawing of its current row: a highlight fill when
// selected and the row's text (asked for with kNfyRowGetText when empty).
void drawDefaultRow(LBoxObj* list);
