// The quicksort shared by FixedList and List. It reads elements with get()
// and writes them with replacei(), so it works on any positional container.
// The pivot is held by pointer and is always the receiver of compare(); with
// direction -1 the result is ascending, with +1 descending. Not stable.
#pragma once

#include "storage/Item.h"

template <typename Container>
void quickSortItems(Container& list, long left, long right, long direction) {
    if (left >= right) return;
    const Item* pivot = list.get((left + right) / 2);
    long i = left;
    long j = right;
    do {
        Item* a = list.get(i);
        while (direction * pivot->compare(a) < 0) a = list.get(++i);
        Item* b = list.get(j);
        while (direction * pivot->compare(b) > 0) b = list.get(--j);
        if (j >= i) {
            list.replacei(i, b);
            list.replacei(j, a);
            ++i;
            --j;
        }
    } while (i < j);
    if (left < j) quickSortItems(list, left, j, direction);
    if (i < right) quickSortItems(list, i, right, direction);
}

template <typename Container>
void sortItems(Container& list, bool descending) {
    quickSortItems(list, 0, list.getCount() - 1, descending ? 1 : -1);
}
