// Notifier: linking observers on both sides, notifying, and detaching on destruction.
#include "storage/Notifier.h"

#include "core/Log.h"
#include "storage/Observer.h"

namespace {
constexpr const char* kLogSource = "../notifier";
}

Notifier::~Notifier() {
    if (observers == nullptr) return;
    notifyObservers(kNotifierDeleted, nullptr);
    for (long i = observers->getCount() - 1; i >= 0; --i)
        static_cast<Observer*>(observers->get(i))->removeNotifier(this);
}

void Notifier::addObserver(Observer* observer) {
    if (observer == nullptr) {
        OKA_LOG("addObserver received nil observer");
        return;
    }
    _addObserver(observer);
    observer->addNotifier(this);
}

void Notifier::removeObserver(Observer* observer) {
    if (observer == nullptr) {
        OKA_LOG("removeObserver received nil observer");
        return;
    }
    _removeObserver(observer);
    observer->removeNotifier(this);
}

void Notifier::_addObserver(Observer* observer) {
    if (observers == nullptr) observers = std::make_unique<List>(kLinkListChunkSize, false, true);
    if (observers->find(observer)) {
        OKA_LOG("tried to add observer again");
        return;
    }
    observers->include(observer);
}

void Notifier::_removeObserver(Observer* observer) {
    if (observers != nullptr) observers->remove(observer);
}

void Notifier::notifyObservers(long code, void* data) {
    if (observers == nullptr) return;
    for (long i = 0; i < observers->getCount(); ++i)
        static_cast<Observer*>(observers->get(i))->receiveNotification(this, code, data);
}
