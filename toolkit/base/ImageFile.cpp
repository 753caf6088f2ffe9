// Image headers: XPM's values string, PNG's IHDR chunk, GIF's screen descriptor.
#include "toolkit/base/ImageFile.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

namespace {

bool readXpmSize(const std::string& text, int* width, int* height) {
    // The first string after the "static char" line is "<w> <h> <colours> <chars>".
    size_t declaration = text.find("char");
    if (text.compare(0, 9, "/* XPM */") != 0 || declaration == std::string::npos) return false;
    size_t quote = text.find('"', declaration);
    return quote != std::string::npos &&
           std::sscanf(text.c_str() + quote + 1, "%d %d", width, height) == 2;
}

int bigEndian32(const unsigned char* bytes) {
    return int((unsigned(bytes[0]) << 24) | (unsigned(bytes[1]) << 16) | (unsigned(bytes[2]) << 8) |
               bytes[3]);
}

}  // namespace

bool readImageSize(const char* path, int* width, int* height) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    bool known = false;
    if (text.size() >= 24 && std::memcmp(bytes, "\x89PNG", 4) == 0) {
        *width = bigEndian32(bytes + 16);
        *height = bigEndian32(bytes + 20);
        known = true;
    } else if (text.size() >= 10 && std::memcmp(bytes, "GIF8", 4) == 0) {
        *width = bytes[6] | (bytes[7] << 8);
        *height = bytes[8] | (bytes[9] << 8);
        known = true;
    } else {
        known = readXpmSize(text, width, height);
    }
    return known && *width > 0 && *height > 0;
}
