// Notifier: the publishing half of the notifier/observer pair. It keeps the
// observers attached to it and calls each one with a notification code and
// a data pointer. Every link is recorded on both sides (see Observer), so
// destroying either end detaches it cleanly; a notifier being destroyed
// first tells its observers with kNotifierDeleted.
#pragma once

#include <memory>

#include "core/TypeCode.h"
#include "storage/Item.h"
#include "storage/List.h"

class Observer;

// Sent by a notifier's destructor; the data pointer is null.
inline constexpr long kNotifierDeleted = long(typeCode("NDLT"));
// Chunk size of the link lists on both sides: they are short.
inline constexpr long kLinkListChunkSize = 5;

class Notifier : public Item {
  public:
    Notifier() = default;
    Notifier(const Notifier&) = delete;
    Notifier& operator=(const Notifier&) = delete;
    // Announces kNotifierDeleted, then unlinks every observer.
    ~Notifier() override;

    // Link both sides; a null observer is logged and ignored.
    void addObserver(Observer* observer);
    void removeObserver(Observer* observer);

    // This side of the link only; Observer calls them.
    void _addObserver(Observer* observer);
    void _removeObserver(Observer* observer);

    // Calls receiveNotification(this, code, data) on each observer in order.
    // Observers attached during the pass are reached in the same pass; one
    // that detaches itself makes the pass skip the observer after it.
    virtual void notifyObservers(long code, void* data);

  private:
    std::unique_ptr<List> observers;  // created on first attach; does not own the observers
};
