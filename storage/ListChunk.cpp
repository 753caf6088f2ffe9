#include "storage/ListChunk.h"

ListChunk::~ListChunk() {
    if (prev != nullptr) prev->next = next;
    if (next != nullptr) next->prev = prev;
}
