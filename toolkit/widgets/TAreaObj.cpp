// Static text labels.
#include "toolkit/widgets/TAreaObj.h"

std::unique_ptr<WgtObj> TAreaObj::clone() const {
    return std::make_unique<TAreaObj>(*this);
}

void TAREA_DefNfy(TAreaObj* area, int code) {
    if (area) area->TAreaObj::defaultNotify(code);
}

void TAREA_SetLabel(TAreaObj* area, const char* label) {
    if (area == nullptr) return;
    area->label = label ? label : "";
    area->changed();
}

const char* TAREA_GetLabel(const TAreaObj* area) {
    return area ? area->label.c_str() : "";
}
