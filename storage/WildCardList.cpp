// WildCardList: parsing a pattern list and matching against it.
#include "storage/WildCardList.h"

#include <cstring>
#include <string>

#include "core/Utilities.h"

WildCardList::WildCardList(const char* listText, bool caseSensitive)
    : patterns(kDefaultChunkSize, true, true),
      text(listText ? newStringCopy(listText) : newEmptyString()) {
    // Each run up to the next ';' is one pattern; a leading ';' or two
    // adjacent ones give an empty pattern, a trailing ';' adds nothing.
    const char* rest = text;
    while (*rest != '\0') {
        size_t length = std::strcspn(rest, ";");
        auto* pattern = new WildCardString(std::string(rest, length).c_str(), caseSensitive);
        if (pattern->matchesAnyChar()) matchesAnything = true;
        patterns.inserti(0, pattern);
        rest += length;
        if (*rest == ';') ++rest;
    }
}

WildCardList::~WildCardList() {
    delete[] text;
}

bool WildCardList::wildCardListEqual(const char* subject) const {
    for (long i = 0; i < patterns.getCount(); ++i) {
        auto* pattern = static_cast<WildCardString*>(patterns.get(i));
        if (pattern->wildCardStringEqual(subject)) return true;
    }
    return false;
}
