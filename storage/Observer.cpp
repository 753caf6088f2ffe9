// Observer: its side of the links, and detaching from every notifier on destruction.
#include "storage/Observer.h"

#include "core/Log.h"
#include "storage/Notifier.h"

namespace {
constexpr const char* kLogSource = "../observer";
}

Observer::~Observer() {
    if (notifiers == nullptr) return;
    for (long i = notifiers->getCount() - 1; i >= 0; --i)
        static_cast<Notifier*>(notifiers->get(i))->removeObserver(this);
}

void Observer::addNotifier(Notifier* notifier) {
    if (notifiers == nullptr) notifiers = std::make_unique<List>(kLinkListChunkSize, false, true);
    if (notifiers->find(notifier)) {
        OKA_LOG("tried to add notifier again");
        return;
    }
    notifiers->include(notifier);
}

void Observer::removeNotifier(Notifier* notifier) {
    if (notifiers != nullptr) notifiers->remove(notifier);
}
