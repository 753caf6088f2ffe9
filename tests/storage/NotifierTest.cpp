// Notifier and Observer: links on both sides and destruction of either end first.
#include <gtest/gtest.h>

#include <vector>

#include "TestSupport.h"
#include "storage/Notifier.h"
#include "storage/Observer.h"

namespace {

struct RecordingObserver : Observer {
    void receiveNotification(Notifier* source, long code, void* /*data*/) override {
        codes.push_back(code);
        if (detachOnNotify) source->removeObserver(this);
    }
    std::vector<long> codes;
    bool detachOnNotify = false;
};

constexpr long kChanged = long(typeCode("CHNG"));

TEST(Notifier, AttachingTwiceKeepsOneLinkAndLeavingDuringAPassSkipsTheNextObserver) {
    Notifier notifier;
    RecordingObserver leaving, skipped, reached;
    leaving.detachOnNotify = true;
    for (RecordingObserver* observer : {&leaving, &skipped, &reached, &reached})
        notifier.addObserver(observer);
    notifier.addObserver(nullptr);
    notifier.removeObserver(nullptr);
    notifier.notifyObservers(kChanged, nullptr);
    EXPECT_EQ(
        (std::vector<size_t>{leaving.codes.size(), skipped.codes.size(), reached.codes.size()}),
        (std::vector<size_t>{1, 0, 1}));
}

TEST(Notifier, DestroyingEitherEndUnlinksItFromTheOther) {
    RecordingObserver first, second;
    Notifier* other = new Notifier;
    {
        Notifier notifier;
        for (RecordingObserver* observer : {&first, &second}) notifier.addObserver(observer);
        other->addObserver(&first);
    }
    EXPECT_EQ(first.codes, std::vector<long>{kNotifierDeleted});
    EXPECT_EQ(second.codes, std::vector<long>{kNotifierDeleted});
    // The dead notifier is gone from the observer's side: deleting the other
    // notifier and then the observers touches nothing that was freed.
    delete other;
    EXPECT_EQ(first.codes.size(), 2u);

    Notifier a, b;
    {
        RecordingObserver leaving;
        for (Notifier* notifier : {&a, &b}) notifier->addObserver(&leaving);
        a.addObserver(&second);
    }
    a.notifyObservers(kChanged, nullptr);
    b.notifyObservers(kChanged, nullptr);
    EXPECT_EQ(second.codes, (std::vector<long>{kNotifierDeleted, kChanged}));
}

}  // namespace
