// WildCardString: cutting a pattern into chunks and matching names with it.
#include "storage/WildCardString.h"

#include <memory>
#include <string>

#include "core/Utilities.h"

namespace {
bool isWildcardCharacter(char c) {
    return c == '*' || c == '?';
}
}  // namespace

WildCardString::WildCardString() {
    init(nullptr, true);
}

WildCardString::WildCardString(const char* text, bool isCaseSensitive) {
    init(text, isCaseSensitive);
}

WildCardString::~WildCardString() {
    delete chunks;
    delete[] pattern;
    delete[] displayPattern;
}

void WildCardString::init(const char* text, bool isCaseSensitive) {
    if (text == nullptr) text = "*";
    caseSensitive = isCaseSensitive;
    displayPattern = newStringCopy(text);
    pattern = newStringCopy(text);
    if (!caseSensitive) makeLowercase(pattern);
    buildWildChunks();
}

// Runs of literal characters and runs of wildcard characters alternate, each
// run one chunk; the terminator closes the last run. An empty pattern gives
// one empty chunk, which matches only the empty name.
void WildCardString::buildWildChunks() {
    size_t start = 0;
    bool wildRun = isWildcardCharacter(pattern[0]);
    for (size_t i = 0;; ++i) {
        char c = pattern[i];
        if (c != '\0' && isWildcardCharacter(c) == wildRun) continue;
        auto* chunk = new WildChunk(std::string(pattern + start, i - start).c_str());
        if (chunks == nullptr) {
            chunks = chunk;
        } else {
            chunks->addChunk(chunk);
        }
        if (c == '\0') break;
        start = i;
        wildRun = isWildcardCharacter(c);
    }
}

bool WildCardString::matchesAnyChar() const {
    return chunks != nullptr && chunks->getNextChunk() == nullptr && chunks->matchesAnyChar();
}

bool WildCardString::wildCardStringEqual(const char* subject) const {
    if (subject == nullptr) return false;
    if (matchesAnyChar()) return true;
    std::unique_ptr<char[]> copy(newStringCopy(subject));
    if (!caseSensitive) makeLowercase(copy.get());

    size_t position = 0;
    bool pendingStar = false;
    for (const WildChunk* chunk = chunks; chunk != nullptr; chunk = chunk->getNextChunk()) {
        if (!chunk->chunkMatchesString(copy.get(), position, pendingStar)) return false;
    }
    return copy[position] == '\0' || pendingStar;
}
