// List: the chunk chain, positional access through a cursor, insertion
// that ripples through full chunks.
#include "storage/List.h"

#include "core/Log.h"
#include "storage/QuickSort.h"

namespace {
constexpr const char* kLogSource = "../list";
}

List::List(long chunkSize, bool ownsItems, bool matchByIdentity)
    : chunkSize(chunkSize > 0 ? chunkSize : 1),
      ownsItems(ownsItems),
      matchByIdentity(matchByIdentity) {
    first = last = newChunk();
}

List::~List() {
    while (first != nullptr) {
        ListChunk* chunk = first;
        first = chunk->next;
        delete chunk;
    }
}

ListChunk* List::newChunk() const {
    return new ListChunk(chunkSize, ownsItems, matchByIdentity);
}

List::Place List::placeOfPosition(long i) const {
    if (i < 0 || i >= count) return {nullptr, -1};
    if (cursor == nullptr || i < cursorStart / 2) {
        cursor = first;
        cursorStart = 0;
    }
    while (i < cursorStart) {
        cursor = cursor->prev;
        cursorStart -= cursor->getCount();
    }
    while (i >= cursorStart + cursor->getCount()) {
        cursorStart += cursor->getCount();
        cursor = cursor->next;
    }
    return {cursor, i - cursorStart};
}

List::Place List::placeOfItem(const Item* probe) const {
    for (ListChunk* chunk = first; chunk != nullptr; chunk = chunk->next) {
        long index = chunk->findi(probe);
        if (index != -1) return {chunk, index};
    }
    return {nullptr, -1};
}

long List::overallPosition(const Place& place) const {
    long position = place.index;
    for (ListChunk* chunk = place.chunk->prev; chunk != nullptr; chunk = chunk->prev) {
        position += chunk->getCount();
    }
    return position;
}

Item* List::get(long i) const {
    Place place = placeOfPosition(i);
    return place.chunk ? place.chunk->get(place.index) : nullptr;
}

long List::findi(const Item* probe) const {
    Place place = placeOfItem(probe);
    return place.chunk ? overallPosition(place) : -1;
}

Item* List::findItem(const Item* probe) const {
    Place place = placeOfItem(probe);
    return place.chunk ? place.chunk->get(place.index) : nullptr;
}

void List::include(Item* item) {
    if (first == nullptr) first = last = newChunk();
    if (last->getCount() >= chunkSize) {
        ListChunk* chunk = newChunk();
        chunk->prev = last;
        last->next = chunk;
        last = chunk;
    }
    last->include(item);
    ++count;
}

// Inserts at a known place; a full chunk passes its last element on to the
// front of the next chunk, and so on down the chain.
void List::insertAt(Place place, Item* item) {
    forgetCursor();
    if (place.chunk == nullptr) {
        include(item);
        return;
    }
    ListChunk* chunk = place.chunk;
    long index = place.index;
    while (chunk->getCount() >= chunkSize) {
        Item* carried = chunk->removei(chunkSize - 1);
        chunk->inserti(index, item);
        item = carried;
        index = 0;
        chunk = chunk->next;
        if (chunk == nullptr) {
            include(item);  // counts the one element the chain gained
            return;
        }
    }
    chunk->inserti(index, item);
    ++count;
}

void List::inserti(long i, Item* item) {
    insertAt(placeOfPosition(i), item);
}

void List::insert(const Item* anchor, Item* item) {
    insertAt(placeOfItem(anchor), item);
}

// Takes an emptied chunk out of the chain and destroys it.
void List::unlinkChunk(ListChunk* chunk) {
    if (chunk == first) first = chunk->next;
    if (chunk == last) last = chunk->prev;
    delete chunk;
}

Item* List::remove(const Item* probe) {
    if (probe == nullptr) return nullptr;
    Place place = placeOfItem(probe);
    if (place.chunk == nullptr) return nullptr;
    forgetCursor();
    Item* removed = place.chunk->removei(place.index);
    --count;
    if (place.chunk->getCount() == 0) unlinkChunk(place.chunk);
    return removed;
}

Item* List::removei(long i) {
    // The cursor stays good: chunks before it keep their counts.
    Place place = placeOfPosition(i);
    if (place.chunk == nullptr) return nullptr;
    --count;
    return place.chunk->removei(place.index);
}

Item* List::replace(Item* item) {
    Place place = placeOfItem(item);
    if (place.chunk == nullptr) {
        include(item);
        return nullptr;
    }
    return place.chunk->replacei(place.index, item);
}

Item* List::replacei(long i, Item* item) {
    Place place = placeOfPosition(i);
    return place.chunk ? place.chunk->replacei(place.index, item) : nullptr;
}

void List::removeAll() {
    for (long i = count - 1; i >= 0; --i) {
        Item* removed = removei(i);
        if (ownsItems) delete removed;
    }
}

std::vector<Item*> List::items() const {
    std::vector<Item*> elements;
    elements.reserve(size_t(count));
    for (ListChunk* chunk = first; chunk != nullptr; chunk = chunk->next)
        for (long j = 0; j < chunk->getCount(); ++j) elements.push_back(chunk->get(j));
    return elements;
}

void List::assign(const std::vector<Item*>& elements) {
    forgetCursor();
    for (ListChunk* chunk = first; chunk != nullptr; chunk = chunk->next)
        while (chunk->getCount() > 0) chunk->removei(chunk->getCount() - 1);
    count = 0;
    while (first != nullptr && first->next != nullptr) unlinkChunk(first->next);
    for (Item* item : elements) include(item);
}

void List::sort(bool descending) {
    sortItems(*this, descending);
}

void List::log() const {
    OKA_LOG("List: (%ld) elements:", count);
    char text[kItemTextSize];
    for (long i = 0; i < count; ++i) {
        text[0] = '\0';
        get(i)->printToString(text, sizeof text);
        OKA_LOG("%s", text);
    }
}
