// FixedList: an array of item pointers with a capacity fixed at construction.
// It is the chunk type of List and is used on its own where a bound is wanted.
// Elements are addressed by position (0-based, no gaps) or by value: an element
// E matches a probe P when they are the same object or, unless the list matches
// by identity, when P->isEqual(E).
#pragma once

#include "storage/Item.h"

class FixedList {
  public:
    FixedList(long capacity, bool ownsItems, bool matchByIdentity);
    FixedList(const FixedList&) = delete;
    FixedList& operator=(const FixedList&) = delete;
    // Deletes the remaining elements when the list owns them.
    virtual ~FixedList();

    long getCount() const { return count; }

    Item* get(long i) const;
    bool find(const Item* probe) const { return findi(probe) != -1; }
    long findi(const Item* probe) const;
    Item* findItem(const Item* probe) const;

    // Insertions refuse (log, and leave the element with the caller) when full.
    void include(Item* item);
    void inserti(long i, Item* item);
    void insert(const Item* anchor, Item* item) { inserti(findi(anchor), item); }

    // Removals and replacements hand the old element back; they never delete.
    Item* remove(const Item* probe);
    Item* removei(long i);
    Item* replace(Item* item);
    Item* replacei(long i, Item* item);

    // Quicksort by Item::compare; ascending when `descending` is false.
    void sort(bool descending);

    // Whether `element` matches `probe` under this list's matching rule.
    bool matches(const Item* probe, const Item* element) const;

  protected:
    Item** items;          // capacity slots; 0..count-1 in use
    long count = 0;        // elements in use
    long capacity;         // fixed at construction
    bool ownsItems;        // delete remaining elements on destruction
    bool matchByIdentity;  // value lookups compare pointers only
};
