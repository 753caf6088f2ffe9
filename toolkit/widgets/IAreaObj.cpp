// Icon areas.
#include "toolkit/widgets/IAreaObj.h"

std::unique_ptr<WgtObj> IAreaObj::clone() const {
    return std::make_unique<IAreaObj>(*this);
}

IconObj* IAREA_GetIcon(IAreaObj* area) {
    return area ? &area->icon : nullptr;
}
