// Buttons.
#include "toolkit/widgets/TButObj.h"

#include "toolkit/widgets/PanelObj.h"
#include "toolkit/widgets/WinObj.h"

namespace {
// Clears the default mark of every button below `widget`.
void clearDefaultMarks(WgtObj* widget) {
    if (auto* button = dynamic_cast<TButObj*>(widget); button && button->isDefault) {
        button->isDefault = false;
        button->changed();
    }
    if (auto* panel = dynamic_cast<PanelObj*>(widget))
        for (auto& child : panel->children) clearDefaultMarks(child.get());
}
}  // namespace

TButObj::TButObj(const TButObj& other)
    : WgtObj(other),
      label(other.label),
      icon(other.icon),
      style(other.style),
      selected(other.selected),
      isDefault(other.isDefault),
      isCancel(other.isCancel),
      accelKeys(other.accelKeys ? std::make_unique<KyLstObj>(*other.accelKeys) : nullptr) {}

std::unique_ptr<WgtObj> TButObj::clone() const {
    return std::make_unique<TButObj>(*this);
}

void TButObj::release() {
    notify(kNfyButtonDestroyed);
    WgtObj::release();
}

void TBUT_DefNfy(TButObj* button, int code) {
    if (button) button->TButObj::defaultNotify(code);
}

TButObj* TBUT_Create() {
    return new TButObj;
}

void TBUT_SetLabel(TButObj* button, const char* label) {
    if (button == nullptr) return;
    button->label = label ? label : "";
    button->changed();
}

const char* TBUT_GetLabel(const TButObj* button) {
    return button ? button->label.c_str() : "";
}

void TBUT_SetIcon(TButObj* button, IconObj* icon) {
    if (button == nullptr) return;
    button->icon = icon;
    button->changed();
}

void TBUT_SetSelected(TButObj* button, bool selected) {
    if (button == nullptr || button->selected == selected) return;
    button->selected = selected;
    button->changed();
}

bool TBUT_GetSelected(const TButObj* button) {
    return button != nullptr && button->selected;
}

void TBUT_SetDefButton(TButObj* button) {
    if (button == nullptr) return;
    if (WinObj* window = button->window()) clearDefaultMarks(window);
    button->isDefault = true;
    button->changed();
}

void TBUT_SetAccelKeys(TButObj* button, KyLstObj* keys) {
    if (button != nullptr) button->accelKeys.reset(keys);
}
