// Four-character type codes: message types, parameter types, item types,
// tool types, file types, window types and record kinds are all 32-bit values
// made of four ASCII characters, the first one in the most significant byte.
#pragma once

#include <cstdint>

using TypeCode = uint32_t;

// Builds a type code from a four-character literal at compile time:
// typeCode("RPLY"). Anything but exactly four characters does not compile.
consteval TypeCode typeCode(const char (&text)[5]) {
    if (text[4] != '\0') throw "type codes have exactly four characters";
    return (TypeCode(uint8_t(text[0])) << 24) | (TypeCode(uint8_t(text[1])) << 16) |
           (TypeCode(uint8_t(text[2])) << 8) | TypeCode(uint8_t(text[3]));
}

// The same conversion at run time, from any four bytes (no terminator needed).
inline TypeCode typeCodeFromBytes(const char* bytes) {
    return (TypeCode(uint8_t(bytes[0])) << 24) | (TypeCode(uint8_t(bytes[1])) << 16) |
           (TypeCode(uint8_t(bytes[2])) << 8) | TypeCode(uint8_t(bytes[3]));
}

inline constexpr TypeCode kWildcardType = typeCode("****");    // matches any type
inline constexpr TypeCode kUntypedMessage = typeCode("----");  // a message made without a type
