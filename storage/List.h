// List: the growable collection used throughout the system, a doubly linked
// chain of ListChunks of equal capacity. Positions count across the chain in
// chunk order. Chunks may be partly filled; insertion into a full chunk
// ripples its last element into the next chunk. Unlike FixedList it never
// refuses an element. Positional access remembers the last chunk it
// reached, so walking a list by position, forwards or backwards, costs one
// step per element rather than one walk of the chain per element.
#pragma once

#include <vector>

#include "storage/ListChunk.h"

// Chunk size of every list of the system, except observer lists.
inline constexpr long kDefaultChunkSize = 32;

class List {
  public:
    List(long chunkSize, bool ownsItems, bool matchByIdentity);
    List(const List&) = delete;
    List& operator=(const List&) = delete;
    virtual ~List();

    long getCount() const { return count; }

    Item* get(long i) const;
    bool find(const Item* probe) const { return findi(probe) != -1; }
    long findi(const Item* probe) const;
    Item* findItem(const Item* probe) const;

    void include(Item* item);
    // Inserts at overall position i; i >= count appends.
    void inserti(long i, Item* item);
    // Inserts in front of the first match of anchor; appends when none matches.
    void insert(const Item* anchor, Item* item);

    // Hand the element back to the caller; never delete it.
    Item* remove(const Item* probe);
    Item* removei(long i);
    Item* replace(Item* item);
    Item* replacei(long i, Item* item);

    // Removes every element, deleting them when the list owns its items.
    void removeAll();

    // The elements in order, in one pass.
    std::vector<Item*> items() const;
    // Makes `elements` the contents, in order; the previous elements are
    // dropped without being deleted (they are usually among the new ones).
    void assign(const std::vector<Item*>& elements);

    void sort(bool descending);

    // Logs the count and each element's text form.
    virtual void log() const;

  private:
    struct Place {
        ListChunk* chunk;  // null when the position or item was not found
        long index;        // position inside the chunk, or -1
    };

    Place placeOfPosition(long i) const;
    Place placeOfItem(const Item* probe) const;
    long overallPosition(const Place& place) const;
    ListChunk* newChunk() const;
    void insertAt(Place place, Item* item);
    void forgetCursor() const { cursor = nullptr; }
    void unlinkChunk(ListChunk* chunk);

    ListChunk* first = nullptr;           // start of the chain, or null
    ListChunk* last = nullptr;            // end of the chain, or null
    mutable ListChunk* cursor = nullptr;  // chunk reached by the last positional access, or null
    mutable long cursorStart = 0;         // overall position of the cursor chunk's first element
    long count = 0;                       // elements over all chunks
    long chunkSize;                       // capacity of every chunk
    bool ownsItems;
    bool matchByIdentity;
};
