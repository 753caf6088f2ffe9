#include "core/Utilities.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "core/Log.h"
#include "core/Platform.h"

namespace {
constexpr const char* kLogSource = "../utilities";

// Position of the last '/' that counts as a separator, or -1.
long lastSeparator(const char* path) {
    const char* slash = std::strrchr(path, '/');
    return (slash == nullptr || slash == path) ? -1 : long(slash - path);
}
}  // namespace

void copyBytes(const void* source, void* destination, long length) {
    if (length > 0) std::memmove(destination, source, size_t(length));
}

void mybzero(void* buffer, long length) {
    if (length > 0) std::memset(buffer, 0, size_t(length));
}

void makeLowercase(char* text) {
    if (text == nullptr) return;
    for (; *text != '\0'; ++text) {
        if (*text >= 'A' && *text <= 'Z') *text = char(*text - 'A' + 'a');
    }
}

char* newStringCopy(const char* text) {
    if (text == nullptr) {
        OKA_LOG("newStringCopy: nil was passed as source string");
        return newEmptyString();
    }
    size_t length = std::strlen(text);
    char* copy = new char[length + 1];
    std::memcpy(copy, text, length + 1);
    return copy;
}

char* newEmptyString() {
    char* text = new char[1];
    text[0] = '\0';
    return text;
}

size_t copyText(char* out, size_t outSize, const char* source, size_t sourceLength) {
    if (out == nullptr || outSize == 0) return 0;
    size_t length = 0;
    if (source != nullptr) {
        while (length < sourceLength && length + 1 < outSize && source[length] != '\0') ++length;
        std::memcpy(out, source, length);
    }
    out[length] = '\0';
    return length;
}

void formatPath(char* out, size_t outSize, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vsnprintf(out, outSize, format, args);
    va_end(args);
}

const char* TypeIdentToCStr(TypeCode code) {
    static char typeIdentCStr[5];
    typeIdentCStr[0] = char(code >> 24);
    typeIdentCStr[1] = char(code >> 16);
    typeIdentCStr[2] = char(code >> 8);
    typeIdentCStr[3] = char(code);
    typeIdentCStr[4] = '\0';
    return typeIdentCStr;
}

long timeInSeconds() {
    return long(std::time(nullptr));
}

void okaBeep() {
    ringBell();
}

void extractPathname(const char* path, char* out, size_t outSize) {
    if (outSize == 0) return;
    if (path == nullptr || path[0] == '\0') {
        out[0] = '\0';
        return;
    }
    long separator = lastSeparator(path);
    if (separator < 0) {
        out[0] = '\0';
        return;
    }
    copyText(out, outSize, path, size_t(separator));
}

const char* filenamePart(const char* path) {
    if (path == nullptr) return "";
    long separator = lastSeparator(path);
    return path + (separator < 0 ? 0 : separator + 1);
}

void extractFilename(const char* path, char* out, size_t outSize) {
    if (outSize == 0) return;
    if (path == nullptr || path[0] == '\0') {
        out[0] = '\0';
        return;
    }
    // The source may be the output buffer, so move rather than copy.
    const char* name = filenamePart(path);
    size_t length = std::strlen(name);
    if (length >= outSize) length = outSize - 1;
    std::memmove(out, name, length);
    out[length] = '\0';
}

bool fileExists(const char* path) {
    if (path == nullptr) return false;
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr) return false;
    std::fclose(file);
    return true;
}

bool isTextFile(const char* path) {
    if (!fileExists(path)) return false;
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return false;
    unsigned char head[256];
    size_t count = std::fread(head, 1, sizeof head, file);
    std::fclose(file);
    return std::memchr(head, 0, count) == nullptr;
}

std::string homeDirectory() {
    const char* home = std::getenv("HOME");
    return home != nullptr ? std::string(home) + "/" : std::string();
}

Status getValidPreferencesDirectory(char* buffer, size_t bufferSize) {
    std::string home = homeDirectory();
    formatPath(buffer, bufferSize, "%s.oka/", home.c_str());
    if (nodeTypeOf(home.c_str()) != kNodeDirectory) return Status(kErrorPreferencesDirectory);
    if (nodeTypeOf(buffer) != kNodeDirectory) {
        createDirectory(buffer, 0775);
        if (nodeTypeOf(buffer) != kNodeDirectory) return Status(kErrorPreferencesDirectory);
    }
    return kSuccess;
}
