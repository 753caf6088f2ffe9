// Notifier and Observer: links on both sides, double attachment, and
// destruction of either end first.
#include <gtest/gtest.h>

#include <vector>

#include "TestSupport.h"
#include "storage/Notifier.h"
#include "storage/Observer.h"

namespace {

class RecordingObserver : public Observer {
  public:
    struct Call {
        Notifier* source;
        long code;
    };
    void receiveNotification(Notifier* source, long code, void* /*data*/) override {
        calls.push_back({source, code});
        if (detachOnNotify) source->removeObserver(this);
    }
    std::vector<Call> calls;
    bool detachOnNotify = false;
};

constexpr long kChanged = long(typeCode("CHNG"));

TEST(Notifier, AttachingTwiceKeepsOneLinkOnEachSide) {
    Notifier notifier;
    RecordingObserver observer;
    notifier.addObserver(&observer);
    notifier.addObserver(&observer);
    notifier.addObserver(nullptr);
    notifier.removeObserver(nullptr);
    notifier.notifyObservers(kChanged, nullptr);
    EXPECT_EQ(observer.calls.size(), 1u);
}

TEST(Notifier, DestroyingTheNotifierAnnouncesItAndUnlinksObservers) {
    RecordingObserver first;
    RecordingObserver second;
    Notifier* other = new Notifier;
    {
        Notifier notifier;
        notifier.addObserver(&first);
        notifier.addObserver(&second);
        other->addObserver(&first);
    }
    ASSERT_EQ(first.calls.size(), 1u);
    EXPECT_EQ(first.calls[0].code, kNotifierDeleted);
    ASSERT_EQ(second.calls.size(), 1u);
    EXPECT_EQ(second.calls[0].code, kNotifierDeleted);

    // The dead notifier is gone from the observer's side: deleting the other
    // notifier and then the observers touches nothing that was freed.
    delete other;
    EXPECT_EQ(first.calls.size(), 2u);
}

TEST(Notifier, DestroyingAnObserverDetachesItFromEveryNotifier) {
    Notifier a;
    Notifier b;
    RecordingObserver staying;
    {
        RecordingObserver leaving;
        a.addObserver(&leaving);
        b.addObserver(&leaving);
        a.addObserver(&staying);
    }
    a.notifyObservers(kChanged, nullptr);
    b.notifyObservers(kChanged, nullptr);
    EXPECT_EQ(staying.calls.size(), 1u);
}

TEST(Notifier, AnObserverLeavingDuringAPassSkipsTheNextOne) {
    Notifier notifier;
    RecordingObserver leaving;
    RecordingObserver skipped;
    RecordingObserver reached;
    leaving.detachOnNotify = true;
    notifier.addObserver(&leaving);
    notifier.addObserver(&skipped);
    notifier.addObserver(&reached);
    notifier.notifyObservers(kChanged, nullptr);
    EXPECT_EQ(leaving.calls.size(), 1u);
    EXPECT_EQ(skipped.calls.size(), 0u);
    EXPECT_EQ(reached.calls.size(), 1u);
}

}  // namespace
