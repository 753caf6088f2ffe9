// The 8-byte form of a window's box in 'GWIN' replies, 'UWIN' messages and
// 'WPOS' preference records: x, y, width, height, each a signed 16-bit
// big-endian value.
#pragma once

#include <cstdint>

#include "core/ByteOrder.h"
#include "toolkit/base/Rect16.h"

inline constexpr int kWindowBoxSize = 8;

inline void encodeWindowBox(const Rect16& box, uint8_t* out) {
    putBigEndian16(out, uint16_t(box.x));
    putBigEndian16(out + 2, uint16_t(box.y));
    putBigEndian16(out + 4, uint16_t(box.width));
    putBigEndian16(out + 6, uint16_t(box.height));
}

inline Rect16 decodeWindowBox(const uint8_t* in) {
    return Rect16{int16_t(getBigEndian16(in)), int16_t(getBigEndian16(in + 2)),
                  int16_t(getBigEndian16(in + 4)), int16_t(getBigEndian16(in + 6))};
}
