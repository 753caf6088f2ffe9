// WildChunk: the chunk chain of a compiled pattern and its matching step.
#include "storage/WildChunk.h"

#include <cstring>

#include "core/Utilities.h"

WildChunk::WildChunk() : text(newEmptyString()), next(nullptr) {}

WildChunk::WildChunk(const char* chunkText)
    : text(chunkText ? newStringCopy(chunkText) : newEmptyString()), next(nullptr) {}

WildChunk::~WildChunk() {
    // Iterative, so a pattern of many chunks cannot exhaust the stack.
    WildChunk* rest = next;
    while (rest != nullptr) {
        WildChunk* following = rest->next;
        rest->next = nullptr;
        delete rest;
        rest = following;
    }
    delete[] text;
}

void WildChunk::setString(const char* chunkText) {
    delete[] text;
    text = chunkText ? newStringCopy(chunkText) : newEmptyString();
}

void WildChunk::addChunk(WildChunk* chunk) {
    if (chunk == nullptr || chunk == this) return;
    WildChunk* last = this;
    while (last->next != nullptr) last = last->next;
    last->next = chunk;
}

bool WildChunk::matchesAnyChar() const {
    return std::strcmp(text, "*") == 0;
}

bool WildChunk::chunkMatchesString(const char* subject, size_t& position, bool& pendingStar) const {
    if (matchesAnyChar()) {
        pendingStar = true;
        return true;
    }
    if (std::strcmp(text, "?") == 0) {
        if (subject[position] == '\0') return false;
        ++position;
        return true;
    }
    size_t length = std::strlen(text);
    if (pendingStar) {
        pendingStar = false;
        // The first occurrence only: the matcher never retries a later one.
        const char* found = std::strstr(subject + position, text);
        if (found == nullptr) return false;
        position = size_t(found - subject) + length;
        return true;
    }
    if (std::strncmp(subject + position, text, length) != 0) return false;
    position += length;
    return true;
}
