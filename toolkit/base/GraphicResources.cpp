// Stock graphic resources and the icon file operations.
#include "toolkit/base/GraphicResources.h"

#include <array>

#include "toolkit/base/ImageFile.h"

namespace {

ColorObj gStockColors[] = {
    {0, 0, 0, true, false},         // 0 invisible
    {0, 0, 0, false, false},        // 1 black
    {255, 255, 255, false, false},  // 2 white
    {128, 128, 128, false, false},  // 3 gray
    {211, 211, 211, false, false},  // 4 light gray
    {255, 255, 0, false, false},    // 5 yellow
    {255, 0, 0, false, false},      // 6 red
    {0, 160, 0, false, false},      // 7 green
    {0, 0, 255, false, false},      // 8 blue
};
ColorObj gTransparentColor{0, 0, 0, true, false};
ColorObj gInvertColor{0, 0, 0, false, true};

PenObj gInvisiblePen{PenStyle::Invisible, 1};
PenObj gSolidPen{PenStyle::Solid, 1};
PenObj gDottedPen{PenStyle::Dotted, 1};
PenObj gDashedPen{PenStyle::Dashed, 1};
PattObj gEmptyPattern;
FontObj gDefaultFont;

std::array<CursObj, 6> gStockCursors = {{
    {PointerShape::Arrow, 0},
    {PointerShape::ResizeHorizontal, 0},
    {PointerShape::ResizeVertical, 0},
    {PointerShape::Text, 0},
    {PointerShape::Hand, 0},
    {PointerShape::Cross, 0},
}};
constexpr int kWaitFrames = 8;  // the wait cursor's animation repeats after this many steps
std::array<CursObj, kWaitFrames> gWaitCursors = [] {
    std::array<CursObj, kWaitFrames> frames{};
    for (int step = 0; step < kWaitFrames; ++step)
        frames[size_t(step)] = {PointerShape::Wait, step};
    return frames;
}();

}  // namespace

ColorObj* COLOR_Black() {
    return &gStockColors[1];
}
ColorObj* COLOR_White() {
    return &gStockColors[2];
}
ColorObj* COLOR_Gray() {
    return &gStockColors[3];
}
ColorObj* COLOR_LightGray() {
    return &gStockColors[4];
}
ColorObj* COLOR_Yellow() {
    return &gStockColors[5];
}
ColorObj* COLOR_Red() {
    return &gStockColors[6];
}
ColorObj* COLOR_Green() {
    return &gStockColors[7];
}
ColorObj* COLOR_Transparent() {
    return &gTransparentColor;
}
ColorObj* COLOR_Invert() {
    return &gInvertColor;
}

ColorObj* COLOR_LoadById(int id) {
    constexpr int count = int(sizeof gStockColors / sizeof gStockColors[0]);
    return id >= 0 && id < count ? &gStockColors[id] : &gStockColors[1];
}

PenObj* PEN_Solid() {
    return &gSolidPen;
}
PenObj* PEN_Invisible() {
    return &gInvisiblePen;
}

PenObj* PEN_LoadById(int id) {
    switch (id) {
        case 0:
            return &gInvisiblePen;
        case 11:
            return &gDottedPen;
        case 15:
            return &gDashedPen;
        default:
            return &gSolidPen;
    }
}

PattObj* PATT_Empty() {
    return &gEmptyPattern;
}
FontObj* FONT_Default() {
    return &gDefaultFont;
}
int FONT_QuerySize(const FontObj* font) {
    return font ? font->size : 0;
}

CursObj* CURS_LoadById(int id) {
    return id >= 0 && id < int(gStockCursors.size()) ? &gStockCursors[size_t(id)]
                                                     : &gStockCursors[0];
}

CursObj* CURS_WaitCursor(int step) {
    int frame = step % kWaitFrames;
    return &gWaitCursors[size_t(frame < 0 ? frame + kWaitFrames : frame)];
}

bool ICON_SetFileName(IconObj* icon, const char* path) {
    if (icon == nullptr || path == nullptr) return false;
    int width = 0, height = 0;
    if (!readImageSize(path, &width, &height)) return false;
    icon->file = path;
    icon->width = width;
    icon->height = height;
    ++icon->version;
    return true;
}
