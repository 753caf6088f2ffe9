// Lists of items in chained chunks, and fixed lists.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "TestSupport.h"
#include "storage/FixedList.h"
#include "storage/List.h"

namespace {

// A number item that counts its own destructions.
class CountedItem : public NumberItem {
  public:
    CountedItem(int32_t n, int& deletions) : NumberItem(n), deletions(deletions) {}
    ~CountedItem() override { ++deletions; }

  private:
    int& deletions;
};

using Numbers = std::vector<int32_t>;

Numbers numbersOf(const List& list) {
    Numbers numbers;
    for (long i = 0; i < list.getCount(); ++i)
        numbers.push_back(static_cast<NumberItem*>(list.get(i))->getNumber());
    return numbers;
}

void fill(List& list, int from, int to) {
    for (int i = from; i < to; ++i) list.include(new NumberItem(i));
}

}  // namespace

TEST(List, IncludeAndInsertRippleThroughFullChunksAndSortKeepsEqualItems) {
    List list(4, true, false);
    fill(list, 0, 8);  // two full chunks
    EXPECT_EQ(list.get(8), nullptr);
    EXPECT_EQ(list.get(-1), nullptr);
    list.inserti(0, new NumberItem(100));
    EXPECT_EQ(numbersOf(list), (Numbers{100, 0, 1, 2, 3, 4, 5, 6, 7}));
    list.inserti(5, new NumberItem(200));
    EXPECT_EQ(numbersOf(list), (Numbers{100, 0, 1, 2, 3, 200, 4, 5, 6, 7}));
    list.inserti(99, new NumberItem(300));  // past the end: appended

    // Before an equal anchor, or appended when there is none.
    NumberItem anchor(1), missing(77);
    list.insert(&anchor, new NumberItem(50));
    list.insert(&missing, new NumberItem(60));
    EXPECT_EQ(numbersOf(list), (Numbers{100, 0, 50, 1, 2, 3, 200, 4, 5, 6, 7, 300, 60}));

    list.include(new NumberItem(5));
    list.sort(false);
    EXPECT_EQ(numbersOf(list), (Numbers{0, 1, 2, 3, 4, 5, 5, 6, 7, 50, 60, 100, 200, 300}));
    list.sort(true);
    EXPECT_EQ(numbersOf(list), (Numbers{300, 200, 100, 60, 50, 7, 6, 5, 5, 4, 3, 2, 1, 0}));
    List empty(2, true, false);
    empty.sort(false);
    EXPECT_EQ(empty.getCount(), 0);
}

TEST(List, RemoveFreesEmptiedChunksAndReplaceSwapsEqualItems) {
    List list(2, true, false);
    fill(list, 0, 3);
    NumberItem zero(0), one(1), two(2);
    delete list.remove(&zero);
    delete list.remove(&one);  // first chunk now empty and gone
    EXPECT_EQ(numbersOf(list), (Numbers{2}));
    delete list.remove(&two);  // the chain is empty
    EXPECT_EQ(list.getCount(), 0);
    EXPECT_EQ(list.remove(nullptr), nullptr);

    // It keeps working: filled again over three chunks.
    fill(list, 0, 5);
    std::unique_ptr<Item> removed(list.removei(3));
    EXPECT_EQ(static_cast<NumberItem*>(removed.get())->getNumber(), 3);
    EXPECT_EQ(list.removei(10), nullptr);
    NumberItem* replacement = new NumberItem(4);
    std::unique_ptr<Item> old(list.replace(replacement));  // equal value: swapped in place
    EXPECT_NE(old.get(), replacement);
    EXPECT_EQ(list.replace(new NumberItem(42)), nullptr);  // appended
    EXPECT_EQ(numbersOf(list), (Numbers{0, 1, 2, 4, 42}));
    NumberItem outside(5);
    EXPECT_EQ(list.replacei(5, &outside), nullptr);
}

TEST(List, MatchingByValueOrIdentity) {
    List byValue(4, true, false), byIdentity(4, false, true);
    auto* stored = new StringItem("main.qnt");
    byValue.include(stored);
    byIdentity.include(stored);
    // Items of different types never match; a null text is empty.
    StringItem probe("main.qnt"), empty(nullptr);
    NumberItem number(0);
    EXPECT_EQ((std::vector<long>{byValue.findi(&probe), byIdentity.findi(&probe),
                                 byIdentity.findi(stored), byValue.findi(&number),
                                 byValue.findi(&empty)}),
              (std::vector<long>{0, -1, 0, -1, -1}));
    EXPECT_STREQ(empty.getString(), "");
}

TEST(List, RemoveAllDeletesOnlyOwnedItems) {
    int deletions = 0;
    List owning(2, true, false);
    for (int i = 0; i < 5; ++i) owning.include(new CountedItem(i, deletions));
    owning.removeAll();
    EXPECT_EQ((std::pair{owning.getCount(), deletions}), (std::pair{0L, 5}));
    CountedItem kept(1, deletions);
    {
        List borrowing(2, false, true);
        borrowing.include(&kept);
        borrowing.removeAll();
    }
    EXPECT_EQ(deletions, 5);
}

TEST(FixedList, RefusesOverflowAndLogs) {
    LogCapture log;
    FixedList list(2, true, false);
    for (int n : {1, 2}) list.include(new NumberItem(n));
    NumberItem extra(3);
    list.include(&extra);
    list.inserti(0, &extra);
    EXPECT_EQ(list.getCount(), 2);
    EXPECT_TRUE(log.contains("FixedList: aborted attempt to overflow list on include"));
    EXPECT_TRUE(log.contains("FixedList: aborted attempt to overflow list on insertion"));
}
