// Remembered window places, matched by id.
#include "workspace/WindowPosition.h"

WindowPosition::WindowPosition(int32_t id)
    : Item(kWindowPositionItem), windowType(kWildcardType), positionId(id) {}

WindowPosition::WindowPosition(TypeCode type, const Rect16* box, int32_t id)
    : Item(kWindowPositionItem), windowType(type), positionId(id) {
    if (box != nullptr) this->box = *box;
}

bool WindowPosition::isEqual(const Item* other) const {
    auto* position = dynamic_cast<const WindowPosition*>(other);
    return position != nullptr && position->getItemType() == getItemType() &&
           position->positionId == positionId;
}
