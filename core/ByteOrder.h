// Big-endian reading and writing. Every integer in files and on the wire is
// big-endian; these are the only functions that convert them.
#pragma once

#include <cstdint>

inline void putBigEndian16(uint8_t* out, uint16_t value) {
    out[0] = uint8_t(value >> 8);
    out[1] = uint8_t(value);
}

inline void putBigEndian32(uint8_t* out, uint32_t value) {
    out[0] = uint8_t(value >> 24);
    out[1] = uint8_t(value >> 16);
    out[2] = uint8_t(value >> 8);
    out[3] = uint8_t(value);
}

inline uint16_t getBigEndian16(const uint8_t* in) {
    return uint16_t((in[0] << 8) | in[1]);
}

inline uint32_t getBigEndian32(const uint8_t* in) {
    return (uint32_t(in[0]) << 24) | (uint32_t(in[1]) << 16) | (uint32_t(in[2]) << 8) |
           uint32_t(in[3]);
}
