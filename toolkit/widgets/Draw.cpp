// DRAW_*: keeps the drawing state, converts widget boxes to window
// coordinates for the backend and records every call for the automation
// interface when recording is on.
#include "toolkit/widgets/Draw.h"

#include <vector>

#include "toolkit/widgets/Backend.h"
#include "toolkit/widgets/LBoxObj.h"
#include "toolkit/widgets/WgtObj.h"
#include "toolkit/widgets/WidgetObserver.h"

namespace {

struct DrawState {
    WgtObj* widget = nullptr;                    // widget being drawn into
    ColorObj* foreground = COLOR_Black();        // text and frame colour
    ColorObj* background = COLOR_Transparent();  // fill colour
    PenObj* pen = PEN_Solid();                   // frame pen
    FontObj* font = FONT_Default();              // text font
    int clipDepth = 0;                           // clips pushed and not ended
};

DrawState gState;

// Makes `widget` the drawing target, resetting the state when it changes.
void useWidget(WgtObj* widget) {
    if (widget == gState.widget) return;
    while (gState.clipDepth > 0) {
        currentBackend().popClip();
        --gState.clipDepth;
    }
    gState = DrawState{};
    gState.widget = widget;
    if (widget && widget->font) gState.font = widget->font;
}

Rect16 toWindow(WgtObj* widget, const Rect16& box) {
    int x = 0, y = 0;
    widget->windowOrigin(&x, &y);
    return makeRect16(box.x + x, box.y + y, box.width, box.height);
}

void record(const char* operation, WgtObj* widget, const Rect16& box, int flags = 0,
            const char* text = "") {
    WidgetObserver* observer = widgetObserver();
    if (observer == nullptr || !observer->recordsDrawing()) return;
    observer->drawn(DrawRecord{operation, widget, box, flags, text ? text : "", gState.foreground,
                               gState.background, gState.pen, gState.font});
}

}  // namespace

void DRAW_SetWgtContext(WgtObj* widget) {
    if (widget == nullptr) return;
    gState.widget = nullptr;  // a fresh context even for the same widget
    useWidget(widget);
    currentBackend().beginDrawing(widget);
}

void DRAW_SetColors(WgtObj* widget, ColorObj* foreground, ColorObj* background) {
    useWidget(widget);
    if (foreground) gState.foreground = foreground;
    if (background) gState.background = background;
}

void DRAW_SetPen(WgtObj* widget, PenObj* pen) {
    useWidget(widget);
    if (pen) gState.pen = pen;
}

void DRAW_SetFont(WgtObj* widget, FontObj* font) {
    useWidget(widget);
    if (font) gState.font = font;
}

void DRAW_Text(WgtObj* widget, const Rect16* box, int flags, const char* text) {
    if (widget == nullptr || box == nullptr || text == nullptr) return;
    useWidget(widget);
    record("text", widget, *box, flags, text);
    currentBackend().drawText(toWindow(widget, *box), flags, text, *gState.font,
                              *gState.foreground);
}

void DRAW_QueryTextExt(WgtObj* widget, const char* text, int* width, int* height) {
    useWidget(widget);
    if (width) *width = currentBackend().textWidth(text ? text : "", *gState.font);
    if (height) *height = gState.font->size + gState.font->size / 3;
}

void DRAW_Rect(WgtObj* widget, const Rect16* box) {
    if (widget == nullptr || box == nullptr) return;
    useWidget(widget);
    record("rect", widget, *box);
    Rect16 target = toWindow(widget, *box);
    if (!gState.background->transparent) currentBackend().fillRect(target, *gState.background);
    if (gState.pen->style != PenStyle::Invisible)
        currentBackend().frameRect(target, *gState.pen, *gState.foreground);
}

void DRAW_Icon(WgtObj* widget, const Rect16* box, IconObj* icon) {
    if (widget == nullptr || box == nullptr || icon == nullptr) return;
    useWidget(widget);
    record("icon", widget, *box, 0, icon->file.c_str());
    currentBackend().drawIcon(toWindow(widget, *box), *icon);
}

void DRAW_ClipRect(WgtObj* widget, const Rect16* box) {
    if (widget == nullptr || box == nullptr) return;
    useWidget(widget);
    record("clip", widget, *box);
    currentBackend().pushClip(toWindow(widget, *box));
    ++gState.clipDepth;
}

void DRAW_ClipEnd(WgtObj* widget) {
    useWidget(widget);
    if (gState.clipDepth == 0) return;
    record("clipEnd", widget, Rect16{});
    currentBackend().popClip();
    --gState.clipDepth;
}

void DRAW_InvalRect(WgtObj* widget, const Rect16* /*box*/) {
    if (widget) currentBackend().invalidate(widget);
}

void DSPLY_Beep() {
    if (WidgetObserver* observer = widgetObserver()) observer->beeped();
    currentBackend().beep();
}

void drawDefaultRow(LBoxObj* list) {
    ListRow* row = list->current();
    if (row == nullptr) return;
    if (row->text.empty()) list->notify(kNfyRowGetText);
    Rect16 rowBox = list->currentRowBox();
    ColorObj* background = list->bgColor ? list->bgColor : COLOR_White();
    DRAW_SetColors(list, COLOR_Black(), row->selected ? COLOR_LightGray() : background);
    DRAW_SetPen(list, PEN_Invisible());
    DRAW_Rect(list, &rowBox);
    Rect16 textBox = makeRect16(rowBox.x + 4, rowBox.y, rowBox.width - 4, rowBox.height);
    DRAW_Text(list, &textBox, kDrawTextSingleLine | kDrawTextEllipsis | kDrawTextClip,
              row->text.c_str());
}
