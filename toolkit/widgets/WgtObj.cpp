// Widget base: notification delivery, geometry and appearance setters.
#include "toolkit/widgets/WgtObj.h"

#include "toolkit/widgets/AlarmList.h"
#include "toolkit/widgets/Backend.h"
#include "toolkit/widgets/Event.h"
#include "toolkit/widgets/Layout.h"
#include "toolkit/widgets/PanelObj.h"
#include "toolkit/widgets/SPanlObj.h"
#include "toolkit/widgets/WinObj.h"

WgtObj::WgtObj(const WgtObj& other)
    : kind(other.kind),
      name(other.name),
      box(other.box),
      visible(other.visible),
      enabled(other.enabled),
      bgColor(other.bgColor),
      fgColor(other.fgColor),
      font(other.font),
      pen(other.pen),
      cursor(other.cursor),
      resizeFlags(other.resizeFlags),
      clientData(other.clientData),
      procedure(other.procedure) {}

void WgtObj::notify(int code) {
    if (!procedure) {
        defaultNotify(code);
        return;
    }
    // A procedure may destroy the widget (closing its window), and with it
    // this std::function: call a copy.
    auto call = procedure;
    call(this, code);
}

void WgtObj::defaultNotify(int code) {
    if (code == kNfyDraw) currentBackend().drawDefault(this);
}

void WgtObj::release() {
    alarmCancelAll(this);
    currentBackend().release(this);
}

WinObj* WgtObj::window() {
    WgtObj* widget = this;
    while (widget->parent != nullptr) widget = widget->parent;
    return widget->kind == WgtKind::Window ? static_cast<WinObj*>(widget) : nullptr;
}

void WgtObj::windowOrigin(int* x, int* y) const {
    *x = 0;
    *y = 0;
    // The window's own box is in screen coordinates and does not count;
    // children of a scrolling panel move with its scroll position.
    for (const WgtObj* widget = this; widget->parent != nullptr; widget = widget->parent) {
        *x += widget->box.x;
        *y += widget->box.y;
        if (widget->parent->kind == WgtKind::ScrollPanel) {
            *x -= static_cast<const SPanlObj*>(widget->parent)->scrollX;
            *y -= static_cast<const SPanlObj*>(widget->parent)->scrollY;
        }
    }
}

void WgtObj::changed() {
    currentBackend().update(this);
}

void WGT_DefNfy(WgtObj* widget, int code) {
    if (widget) widget->WgtObj::defaultNotify(code);
}

void WGT_SetBox(WgtObj* widget, const Rect16* box) {
    if (widget == nullptr || box == nullptr) return;
    Rect16 old = widget->box;
    widget->box = *box;
    widget->changed();
    if (auto* panel = dynamic_cast<PanelObj*>(widget)) layoutChildren(panel, old.width, old.height);
}

// The toolkit keeps a single box: the resource box is the widget's box.
void WGT_SetResBox(WgtObj* widget, const Rect16* box) {
    WGT_SetBox(widget, box);
}

void WGT_GetResBox(const WgtObj* widget, Rect16* box) {
    if (widget != nullptr && box != nullptr) *box = widget->box;
}

void WGT_SetVisibility(WgtObj* widget, bool visible) {
    if (widget == nullptr || widget->visible == visible) return;
    widget->visible = visible;
    widget->changed();
}

void WGT_SetInvisible(WgtObj* widget) {
    WGT_SetVisibility(widget, false);
}
bool WGT_IsVisible(const WgtObj* widget) {
    return widget != nullptr && widget->visible;
}

void WGT_SetEnabled(WgtObj* widget, bool enabled) {
    if (widget == nullptr || widget->enabled == enabled) return;
    widget->enabled = enabled;
    widget->changed();
}

bool WGT_IsEnabled(const WgtObj* widget) {
    return widget != nullptr && widget->enabled;
}

void WGT_SetBgColor(WgtObj* widget, ColorObj* color) {
    if (widget == nullptr) return;
    widget->bgColor = color;
    widget->changed();
}

ColorObj* WGT_GetBgColor(const WgtObj* widget) {
    if (widget == nullptr) return nullptr;
    return widget->bgColor ? widget->bgColor : COLOR_LightGray();
}

void WGT_SetFgColor(WgtObj* widget, ColorObj* color) {
    if (widget == nullptr) return;
    widget->fgColor = color;
    widget->changed();
}

void WGT_SetFont(WgtObj* widget, FontObj* font) {
    if (widget == nullptr) return;
    widget->font = font;
    widget->changed();
}

void WGT_SetPen(WgtObj* widget, PenObj* pen) {
    if (widget == nullptr) return;
    widget->pen = pen;
    widget->changed();
}

void WGT_SetCursor(WgtObj* widget, CursObj* cursor) {
    if (widget != nullptr) widget->cursor = cursor;
}

void WGT_UseCursor(WgtObj* widget, CursObj* cursor) {
    if (widget != nullptr) currentBackend().useCursor(widget, cursor);
}

void WGT_SetRzFlags(WgtObj* widget, int flags) {
    if (widget == nullptr) return;
    widget->resizeFlags = flags;
    widget->changed();
}

void WGT_Inval(WgtObj* widget) {
    if (widget != nullptr) currentBackend().invalidate(widget);
}

void WGT_GainFocus(WgtObj* widget) {
    if (widget != nullptr) currentBackend().focus(widget);
}

void WGT_MouseHandled(WgtObj* /*widget*/) {
    currentEvent().mouseHandled = true;
}
void WGT_KeyHandled(WgtObj* /*widget*/) {
    currentEvent().keyHandled = true;
}
WinObj* WGT_GetWin(WgtObj* widget) {
    return widget ? widget->window() : nullptr;
}

void WGT_SetClientData(WgtObj* widget, ClientData data) {
    if (widget != nullptr) widget->clientData = data;
}

ClientData WGT_GetClientData(const WgtObj* widget) {
    return widget ? widget->clientData : 0;
}

void WGT_InitTree(WgtObj* widget) {
    if (widget == nullptr) return;
    if (auto* panel = dynamic_cast<PanelObj*>(widget))
        for (auto& child : panel->children) WGT_InitTree(child.get());
    widget->notify(kNfyInit);
}

void WGT_Terminate(WgtObj* widget) {
    if (widget == nullptr) return;
    std::unique_ptr<WgtObj> owned =
        widget->parent ? widget->parent->removeChild(widget) : std::unique_ptr<WgtObj>(widget);
    owned->release();
}
