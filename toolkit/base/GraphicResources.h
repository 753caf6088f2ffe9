// Graphic resources: colours, fonts, pens, patterns, cursors and icons.
// Named ones come from resource libraries (RES_LoadInit) and live as long as
// the library; the stock ones (COLOR_Black, PEN_Solid, ...) live for the run.
// They are plain descriptions: the backend turns them into window-system
// objects when it draws.
#pragma once

#include <cstdint>
#include <string>

// A colour: its components, or one of the two that draw no colour of their own.
struct ColorObj {
    uint8_t red = 0, green = 0, blue = 0;  // the colour's components
    bool transparent = false;              // draws nothing (backgrounds stay as they are)
    bool invert = false;                   // draws by inverting what is below
};

enum class FontFamily { Sans, Serif, Mono };

// A text font: family, size in pixels and style.
struct FontObj {
    FontFamily family = FontFamily::Sans;  // typeface
    int size = 12;                         // height in pixels
    bool bold = false;                     // heavy weight
    bool italic = false;                   // slanted
};

enum class PenStyle { Invisible, Solid, Dotted, Dashed };

// A pen for lines and frames: its style and width.
struct PenObj {
    PenStyle style = PenStyle::Solid;  // how lines are stroked
    int width = 1;                     // line width in pixels
};

// A fill pattern.
struct PattObj {
    bool empty = true;  // the only pattern the application uses fills nothing
};

enum class PointerShape { Arrow, ResizeHorizontal, ResizeVertical, Wait, Text, Hand, Cross };

// A pointer shape shown over a widget.
struct CursObj {
    PointerShape shape = PointerShape::Arrow;  // what the pointer looks like
    int waitStep = 0;                          // animation step of the wait cursor
};

// An image read from a file, drawn on buttons and icon areas.
struct IconObj {
    std::string file;  // image file (XPM, PNG or GIF), absolute or as given
    int width = 0;     // width in pixels, read from the image
    int height = 0;    // height in pixels, read from the image
    int version = 0;   // bumped when the image changes, so backends reload it
};

// Stock colours. COLOR_LoadById(0) is the invisible colour; other ids are
// 1 black, 2 white, 3 gray, 4 light gray, 5 yellow, 6 red, 7 green, 8 blue.
ColorObj* COLOR_Black();
ColorObj* COLOR_White();
ColorObj* COLOR_Gray();
ColorObj* COLOR_LightGray();
ColorObj* COLOR_Yellow();
ColorObj* COLOR_Red();
ColorObj* COLOR_Green();
ColorObj* COLOR_Transparent();
ColorObj* COLOR_Invert();
ColorObj* COLOR_LoadById(int id);

// Stock pens. Ids: 0 invisible, 1 solid, 11 dotted, 15 dashed; others solid.
PenObj* PEN_Solid();
PenObj* PEN_Invisible();
PenObj* PEN_LoadById(int id);
PattObj* PATT_Empty();

// The default font of widgets that were given none.
FontObj* FONT_Default();
// The font's height in pixels (0 for null).
int FONT_QuerySize(const FontObj* font);

// Stock cursors. Ids: 0 arrow, 1 horizontal resize, 2 vertical resize,
// 3 text, 4 hand, 5 cross; others arrow.
CursObj* CURS_LoadById(int id);
// The animated wait cursor for a step counter (the frames repeat).
CursObj* CURS_WaitCursor(int step);

// Points the icon at an image file; false when it cannot be read (the icon
// keeps its previous image). The size is read from the file.
bool ICON_SetFileName(IconObj* icon, const char* path);
