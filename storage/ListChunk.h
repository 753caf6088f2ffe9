// ListChunk: one link of a List's doubly linked chain of FixedLists.
#pragma once

#include "storage/FixedList.h"

class ListChunk : public FixedList {
  public:
    using FixedList::FixedList;
    // Unlinks itself from both neighbours before the elements go.
    ~ListChunk() override;

    ListChunk* next = nullptr;  // following chunk, or null at the end
    ListChunk* prev = nullptr;  // preceding chunk, or null at the start
};
