#include "storage/FixedList.h"

#include "core/Log.h"
#include "storage/QuickSort.h"

namespace {
constexpr const char* kLogSource = "../list";
}

FixedList::FixedList(long capacity, bool ownsItems, bool matchByIdentity)
    : items(new Item*[capacity > 0 ? capacity : 1]),
      capacity(capacity),
      ownsItems(ownsItems),
      matchByIdentity(matchByIdentity) {}

FixedList::~FixedList() {
    if (ownsItems) {
        for (long i = 0; i < count; ++i) delete items[i];
    }
    delete[] items;
}

Item* FixedList::get(long i) const {
    return (i >= 0 && i < count) ? items[i] : nullptr;
}

bool FixedList::matches(const Item* probe, const Item* element) const {
    if (probe == element) return true;
    return !matchByIdentity && probe != nullptr && probe->isEqual(element);
}

long FixedList::findi(const Item* probe) const {
    for (long i = 0; i < count; ++i) {
        if (matches(probe, items[i])) return i;
    }
    return -1;
}

Item* FixedList::findItem(const Item* probe) const {
    return get(findi(probe));
}

void FixedList::include(Item* item) {
    if (count >= capacity) {
        OKA_LOG("FixedList: aborted attempt to overflow list on include");
        return;
    }
    items[count++] = item;
}

void FixedList::inserti(long i, Item* item) {
    if (count >= capacity) {
        OKA_LOG("FixedList: aborted attempt to overflow list on insertion");
        return;
    }
    if (i < 0 || i > count) i = count;
    for (long j = count; j > i; --j) items[j] = items[j - 1];
    items[i] = item;
    ++count;
}

Item* FixedList::remove(const Item* probe) {
    if (probe == nullptr) return nullptr;
    return removei(findi(probe));
}

Item* FixedList::removei(long i) {
    if (i < 0 || i >= count) return nullptr;
    Item* removed = items[i];
    for (long j = i; j < count - 1; ++j) items[j] = items[j + 1];
    --count;
    return removed;
}

Item* FixedList::replace(Item* item) {
    long i = findi(item);
    if (i == -1) {
        include(item);
        return nullptr;
    }
    return replacei(i, item);
}

Item* FixedList::replacei(long i, Item* item) {
    if (i < 0 || i >= count) return nullptr;
    Item* old = items[i];
    items[i] = item;
    return old;
}

void FixedList::sort(bool descending) {
    sortItems(*this, descending);
}
