// WildCardList: a semicolon-separated list of patterns ("*.qa;*.qh"), used
// as the file picker's filter. A name matches when any pattern matches.
//
// Segments are kept whole however long they are: patterns live on the heap,
// so no segment is refused or truncated.
#pragma once

#include "storage/List.h"
#include "storage/WildCardString.h"

class WildCardList {
  public:
    WildCardList(const char* text, bool caseSensitive);
    WildCardList(const WildCardList&) = delete;
    WildCardList& operator=(const WildCardList&) = delete;
    ~WildCardList();

    // True at the first pattern that matches; false for an empty list.
    bool wildCardListEqual(const char* subject) const;
    // Set when one of the patterns is exactly "*"; callers may use it as a
    // shortcut, wildCardListEqual does not.
    bool getMatchesAnything() const { return matchesAnything; }
    long getPatternCount() const { return patterns.getCount(); }
    const char* getText() const { return text; }

  private:
    List patterns;  // owned WildCardStrings, in reverse order of the text
    bool matchesAnything = false;
    char* text;  // the list text as passed in
};
