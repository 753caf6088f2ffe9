// WildChunk: one piece of a compiled file-name pattern. A pattern such as
// "*.prj" is cut into alternating runs of literal characters and runs of
// wildcard characters ("*", "?"); each run is one chunk, and the chunks form
// a chain that a name is matched against from left to right, never going
// back. A chunk owns the rest of its chain.
#pragma once

#include <cstddef>

class WildChunk {
  public:
    WildChunk();
    explicit WildChunk(const char* text);
    WildChunk(const WildChunk&) = delete;
    WildChunk& operator=(const WildChunk&) = delete;
    // Destroys every chunk after this one as well.
    ~WildChunk();

    void setString(const char* text);
    const char* getString() const { return text; }
    WildChunk* getNextChunk() const { return next; }
    // Appends `chunk` at the end of the chain; appending this chain's own
    // first chunk does nothing.
    void addChunk(WildChunk* chunk);
    // True when the chunk is exactly "*".
    bool matchesAnyChar() const;

    // One matching step at `position` of `subject`. A lone "*" only sets
    // `pendingStar`; a lone "?" takes one character; anything else (runs of
    // several wildcards included) is literal text, searched for from
    // `position` when a star is pending and required at `position`
    // otherwise. On success `position` moves past what was taken.
    bool chunkMatchesString(const char* subject, size_t& position, bool& pendingStar) const;

  private:
    char* text;       // owned characters of the chunk
    WildChunk* next;  // the following chunk, owned, or null
};
