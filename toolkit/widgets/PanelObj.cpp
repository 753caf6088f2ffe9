// Panels: ownership of children, cloning and release in child order.
#include "toolkit/widgets/PanelObj.h"

#include <algorithm>

#include "toolkit/widgets/Backend.h"

namespace {
void dropPeers(WgtObj* widget) {
    if (auto* panel = dynamic_cast<PanelObj*>(widget))
        for (auto& child : panel->children) dropPeers(child.get());
    currentBackend().release(widget);
}
}  // namespace

PanelObj::PanelObj(const PanelObj& other) : WgtObj(other), title(other.title) {
    for (const auto& child : other.children) {
        std::unique_ptr<WgtObj> copy = child->clone();
        copy->parent = this;
        children.push_back(std::move(copy));
    }
}

std::unique_ptr<WgtObj> PanelObj::clone() const {
    return std::make_unique<PanelObj>(*this);
}

void PanelObj::release() {
    for (auto& child : children) child->release();
    WgtObj::release();
}

void PanelObj::addChild(std::unique_ptr<WgtObj> child) {
    child->parent = this;
    children.push_back(std::move(child));
    changed();
}

std::unique_ptr<WgtObj> PanelObj::removeChild(WgtObj* child) {
    auto found = std::find_if(
        children.begin(), children.end(),
        [child](const std::unique_ptr<WgtObj>& candidate) { return candidate.get() == child; });
    if (found == children.end()) return nullptr;
    std::unique_ptr<WgtObj> removed = std::move(*found);
    children.erase(found);
    // The peers live inside the panel's peer: drop them; they are rebuilt
    // when the widget is added somewhere again.
    dropPeers(removed.get());
    removed->parent = nullptr;
    changed();
    return removed;
}

WgtObj* PanelObj::childAt(int index) const {
    return index >= 0 && index < childCount() ? children[size_t(index)].get() : nullptr;
}

WgtObj* RES_GetNthChild(WgtObj* parent, int index) {
    auto* panel = dynamic_cast<PanelObj*>(parent);
    return panel ? panel->childAt(index) : nullptr;
}

void PANEL_AddWgt(PanelObj* panel, WgtObj* widget) {
    if (panel != nullptr && widget != nullptr) panel->addChild(std::unique_ptr<WgtObj>(widget));
}

void PANEL_RemoveWgt(PanelObj* panel, WgtObj* widget) {
    if (panel != nullptr) (void)panel->removeChild(widget).release();
}

void PANEL_SetBox(PanelObj* panel, const Rect16* box) {
    WGT_SetBox(panel, box);
}
void PANEL_SetResBox(PanelObj* panel, const Rect16* box) {
    WGT_SetResBox(panel, box);
}

PanelObj* PANEL_Clone(PanelObj* panel) {
    return panel ? static_cast<PanelObj*>(panel->clone().release()) : nullptr;
}
