// The toolkit's rectangle: x, y, width and height in pixels, signed 16-bit,
// relative to the parent widget (a window's box is in screen coordinates).
#pragma once

#include <cstdint>

struct Rect16 {
    int16_t x = 0;       // left edge
    int16_t y = 0;       // top edge
    int16_t width = 0;   // extent to the right
    int16_t height = 0;  // extent downwards

    int right() const { return x + width; }
    int bottom() const { return y + height; }
    bool contains(int px, int py) const {
        return px >= x && px < right() && py >= y && py < bottom();
    }
    bool isEmpty() const { return width <= 0 || height <= 0; }
    bool operator==(const Rect16&) const = default;
};

inline Rect16 makeRect16(int x, int y, int width, int height) {
    return Rect16{int16_t(x), int16_t(y), int16_t(width), int16_t(height)};
}

// The overlap of two rectangles (empty when they do not meet).
inline Rect16 intersectRect16(const Rect16& a, const Rect16& b) {
    int left = a.x > b.x ? a.x : b.x;
    int top = a.y > b.y ? a.y : b.y;
    int right = a.right() < b.right() ? a.right() : b.right();
    int bottom = a.bottom() < b.bottom() ? a.bottom() : b.bottom();
    if (right <= left || bottom <= top) return makeRect16(left, top, 0, 0);
    return makeRect16(left, top, right - left, bottom - top);
}
