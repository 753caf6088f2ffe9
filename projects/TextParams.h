// Reading the text parameters of the project messages. Paths live in buffers
// of 256 bytes and machine names in 32-byte record fields; a text that does
// not fit is refused, not truncated, because a truncated path or machine
// name would silently name something else. Texts without a terminator are
// bounded by the parameter's length (Message::getTextParam).
#pragma once

#include <cstddef>
#include <cstdint>

class Message;

// A path or a machine name longer than its field.
inline constexpr int32_t kErrorTextTooLong = -802;

// Copies text parameter `index` into `out` of `outSize` bytes; false when the
// text has `outSize` or more characters (`out` then holds its first
// outSize - 1 characters).
bool readTextParam(const Message* message, int index, char* out, size_t outSize);
