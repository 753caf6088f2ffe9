// The one slot for the widget observer.
#include "toolkit/widgets/WidgetObserver.h"

namespace {
WidgetObserver* gObserver = nullptr;  // not owned
}

void installWidgetObserver(WidgetObserver* observer) {
    gObserver = observer;
}
WidgetObserver* widgetObserver() {
    return gObserver;
}
