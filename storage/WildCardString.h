// WildCardString: a compiled file-name pattern with the wildcards "*" (any
// run of characters) and "?" (one character). Component views filter their
// rows with one, the file picker filters its entries with a WildCardList of
// them. The pattern is cut into WildChunks once; each match walks the chain
// once without backtracking, so a literal after a "*" is matched at its first
// occurrence only ("*.prj" does not match "a.prj.prj"). That is the
// behaviour users see and it is kept on purpose.
#pragma once

#include "storage/Item.h"
#include "storage/WildChunk.h"

class WildCardString : public Item {
  public:
    // The pattern "*", case-sensitive.
    WildCardString();
    // A null pattern stands for "*".
    explicit WildCardString(const char* pattern, bool caseSensitive = true);
    WildCardString(const WildCardString&) = delete;
    WildCardString& operator=(const WildCardString&) = delete;
    ~WildCardString() override;

    // True when `subject` matches; a null subject never does.
    bool wildCardStringEqual(const char* subject) const;
    // True when the pattern compiled to the single chunk "*".
    bool matchesAnyChar() const;

    // The pattern exactly as given (never lower-cased): the views' label.
    const char* getDisplayPattern() const { return displayPattern; }
    bool isCaseSensitive() const { return caseSensitive; }

    // Identity: patterns are never merged in lists.
    bool isEqual(const Item* other) const override { return other == this; }
    long compare(const Item*) const override { return 0; }

  private:
    void init(const char* pattern, bool caseSensitive);
    void buildWildChunks();

    char* pattern = nullptr;      // working copy, lower-cased unless case-sensitive
    WildChunk* chunks = nullptr;  // first chunk of the compiled chain, owned
    bool caseSensitive = true;
    char* displayPattern = nullptr;  // the pattern as passed in
};
