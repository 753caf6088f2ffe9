// Observer: the receiving half of the notifier/observer pair. It remembers
// the notifiers it is attached to, so that destroying it detaches it from
// all of them. Concrete observers supply receiveNotification.
#pragma once

#include <memory>

#include "storage/Item.h"
#include "storage/List.h"

class Notifier;

class Observer : public Item {
  public:
    Observer() = default;
    Observer(const Observer&) = delete;
    Observer& operator=(const Observer&) = delete;
    // Detaches from every notifier (both sides of each link).
    ~Observer() override;

    // This side of the link only; Notifier calls them.
    void addNotifier(Notifier* notifier);
    void removeNotifier(Notifier* notifier);

    // Must be supplied by every concrete observer.
    virtual void receiveNotification(Notifier* source, long code, void* data) = 0;

  private:
    std::unique_ptr<List> notifiers;  // created on first attach; does not own the notifiers
};
