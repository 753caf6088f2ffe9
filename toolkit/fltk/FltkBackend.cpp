// The X11 backend on FLTK: peers mirror the toolkit objects, FLTK's loop
// delivers the events, DRAW_* calls become fl_draw calls.
#include "toolkit/fltk/FltkBackend.h"

#include <FL/Fl.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/Fl_Shared_Image.H>
#include <FL/Fl_Window.H>
#include <FL/fl_ask.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "core/Log.h"
#include "toolkit/fltk/FltkBackendState.h"
#include "toolkit/fltk/FltkConvert.h"
#include "toolkit/fltk/FltkImages.h"
#include "toolkit/fltk/FltkPeer.h"
#include "toolkit/fltk/FltkPeerBuilder.h"
#include "toolkit/widgets/AlarmList.h"
#include "toolkit/widgets/Backend.h"
#include "toolkit/widgets/Draw.h"
#include "toolkit/widgets/MenuObj.h"
#include "toolkit/widgets/WinObj.h"

namespace {
constexpr const char* kLogSource = "../toolkit";
constexpr double kModalPollSeconds = 0.1;  // longest wait of a modal loop between alarm checks

void logFltkMessage(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    char message[512];
    std::vsnprintf(message, sizeof message, format, arguments);
    va_end(arguments);
    OKA_LOG("window system: %s", message);
}

std::string gProgramName =
    "oka";  // argv[0] without its folder, until initializeGlobals names the program

// Maps a window for the first time under the name window managers and
// taskbars know the program's windows by (WM_CLASS, instance and class
// alike): the program's own, not FLTK's "FLTK". FLTK writes it before the
// window is mapped, with a capital; it is then set exactly.
void showFirstTimeNamed(Fl_Window* peer) {
    const char* name =
        gToolName != nullptr && gToolName[0] != '\0' ? gToolName : gProgramName.c_str();
    peer->xclass(name);
    peer->show();
    std::string text = name;
    XClassHint hint{text.data(), text.data()};
    XSetClassHint(fl_display, fl_xid(peer), &hint);
}

// A text shortened with "..." until it fits `width` in the current font.
std::string fitWithEllipsis(const char* text, int width) {
    std::string fitted = text;
    if (fl_width(fitted.c_str()) <= width) return fitted;
    while (!fitted.empty() && fl_width((fitted + "...").c_str()) > width) fitted.pop_back();
    return fitted + "...";
}

Bool isExposure(Display*, XEvent* event, XPointer) {
    return event->type == Expose || event->type == GraphicsExpose ? True : False;
}

class FltkBackend : public Backend {
  public:
    const char* name() const override { return "x11"; }

    void routeErrorsToLog() override {
        Fl::warning = logFltkMessage;
        Fl::error = logFltkMessage;
    }

    void update(WgtObj* widget) override { syncPeer(widget); }
    void release(WgtObj* widget) override { releasePeer(widget); }

    void show(WinObj* window) override {
        auto* peer = static_cast<Fl_Window*>(ensureWindowPeer(window));
        syncPeer(window);
        if (!peer->shown()) showFirstTimeNamed(peer);
        peer->show();
    }

    void minimize(WinObj* window) override {
        if (window->peer) static_cast<Fl_Window*>(window->peer)->iconize();
    }

    void invalidate(WgtObj* widget) override {
        auto* peer = static_cast<Fl_Widget*>(widget->peer);
        if (peer == nullptr) return;
        // A widget without a background of its own draws over what it drew
        // before (a mark taken away would stay): what lies under it is
        // painted again with it.
        Fl_Window* window = peer->as_window() ? nullptr : peer->window();
        if (window != nullptr && widget->bgColor != nullptr && widget->bgColor->transparent)
            window->damage(FL_DAMAGE_ALL, peer->x(), peer->y(), peer->w(), peer->h());
        else
            peer->redraw();
    }

    void focus(WgtObj* widget) override {
        if (widget->peer) static_cast<Fl_Widget*>(widget->peer)->take_focus();
    }

    void useCursor(WgtObj* widget, CursObj* cursor) override {
        WinObj* window = widget->window();
        if (window && window->peer && cursor)
            static_cast<Fl_Window*>(window->peer)->cursor(toFlCursor(*cursor));
    }

    void updateCursor() override {
        WgtObj* below = objectOf(Fl::belowmouse());
        if (below && below->cursor) useCursor(below, below->cursor);
    }

    void processPending() override { Fl::check(); }

    void processExposures() override {
        if (fl_display == nullptr) return;
        // Only the exposures are taken from the queue; key presses and
        // clicks stay in it, in order, for the next processPending.
        XEvent event;
        while (XCheckIfEvent(fl_display, &event, isExposure, nullptr)) fl_handle(event);
        Fl::flush();
    }

    void showBusy(bool busy) override {
        for (Fl_Window* window = Fl::first_window(); window; window = Fl::next_window(window))
            window->cursor(busy ? FL_CURSOR_WAIT : FL_CURSOR_DEFAULT);
        if (!busy) updateCursor();
        if (fl_display != nullptr) XFlush(fl_display);
    }

    void wait(int milliseconds) override {
        if (milliseconds < 0)
            Fl::wait();
        else
            Fl::wait(milliseconds / 1000.0);
    }

    void runModal(WinObj* window) override {
        auto* peer = static_cast<Fl_Window*>(ensureWindowPeer(window));
        peer->set_modal();
        peer->show();
        while (!window->modalEnded) {
            int untilAlarm = alarmMillisecondsToNext();
            Fl::wait(untilAlarm >= 0 && untilAlarm < 100 ? untilAlarm / 1000.0 : kModalPollSeconds);
            alarmFireDue();
        }
        peer->set_non_modal();
    }

    int connectionDescriptor() const override {
        return fl_display ? ConnectionNumber(fl_display) : -1;
    }
    bool hasQueuedEvents() const override { return fl_display && XQLength(fl_display) > 0; }

    void discardKeyEvents() override {
        XSync(fl_display, False);
        XEvent event;
        while (XCheckMaskEvent(fl_display, KeyPressMask | KeyReleaseMask, &event)) {
        }
    }

    void beep() override { fl_beep(); }

    int popupMenu(MenuObj* menu, WgtObj* /*anchor*/) override {
        // FLTK marks separators on the item before them, so items and
        // toolkit indices are paired up here.
        std::vector<Fl_Menu_Item> items;
        std::vector<int> indices;
        for (size_t index = 0; index < menu->items.size(); ++index) {
            const MenuItem& item = menu->items[index];
            if (item.separator) {
                if (!items.empty()) items.back().flags |= FL_MENU_DIVIDER;
                continue;
            }
            int flags = toFlMenuFlags(item);
            items.push_back(
                {item.label.c_str(), 0, nullptr, nullptr, flags, 0, FL_HELVETICA, 12, 0});
            indices.push_back(int(index));
        }
        if (items.empty()) return -1;
        items.push_back({nullptr, 0, nullptr, nullptr, 0, 0, 0, 0, 0});
        const Fl_Menu_Item* chosen = items.data()->popup(Fl::event_x(), Fl::event_y());
        return chosen ? indices[size_t(chosen - items.data())] : -1;
    }

    bool trackPointer(WgtObj* widget, int* x, int* y) override {
        Fl::wait(0.02);
        WinObj* window = widget->window();
        if (window == nullptr || window->peer == nullptr) return false;
        auto* peer = static_cast<Fl_Window*>(window->peer);
        int rootX = 0, rootY = 0;
        Fl::get_mouse(rootX, rootY);
        *x = rootX - peer->x_root();
        *y = rootY - peer->y_root() - fltkMenuOffset(window);
        return (Fl::event_state() & (FL_BUTTON1 | FL_BUTTON2 | FL_BUTTON3)) != 0 &&
               Fl::event() != FL_RELEASE;
    }

    void beginDrawing(WgtObj* widget) override {
        if (FltkDrawScope::active()) return;
        WinObj* window = widget->window();
        if (window == nullptr || window->peer == nullptr) return;
        static_cast<Fl_Window*>(window->peer)->make_current();
        FltkDrawScope::setOffsetY(fltkMenuOffset(window));
    }

    void drawDefault(WgtObj* widget) override {
        if (auto* peer = dynamic_cast<PeerDrawing*>(static_cast<Fl_Widget*>(widget->peer)))
            peer->drawOwn();
    }

    void fillRect(const Rect16& box, const ColorObj& color) override {
        fl_color(toFlColor(color));
        fl_rectf(box.x, box.y + FltkDrawScope::offsetY(), box.width, box.height);
    }

    void frameRect(const Rect16& box, const PenObj& pen, const ColorObj& color) override {
        fl_color(color.invert ? FL_FOREGROUND_COLOR : toFlColor(color));
        int style = pen.style == PenStyle::Dotted   ? FL_DOT
                    : pen.style == PenStyle::Dashed ? FL_DASH
                                                    : FL_SOLID;
        fl_line_style(style, pen.width);
        fl_rect(box.x, box.y + FltkDrawScope::offsetY(), box.width, box.height);
        fl_line_style(FL_SOLID);
    }

    void drawText(const Rect16& box, int flags, const char* text, const FontObj& font,
                  const ColorObj& color) override {
        fl_font(toFlFont(font), font.size);
        fl_color(toFlColor(color));
        std::string shown = text;
        if (flags & kDrawTextSingleLine)
            for (char& c : shown)
                if (c == '\n' || c == '\r') c = ' ';
        if (flags & kDrawTextEllipsis) shown = fitWithEllipsis(shown.c_str(), box.width);
        Fl_Align align = (flags & kDrawTextCenter)  ? FL_ALIGN_CENTER
                         : (flags & kDrawTextRight) ? FL_ALIGN_RIGHT
                                                    : FL_ALIGN_LEFT;
        int y = box.y + FltkDrawScope::offsetY();
        if (flags & kDrawTextClip) fl_push_clip(box.x, y, box.width, box.height);
        fl_draw(shown.c_str(), box.x, y, box.width, box.height, align | FL_ALIGN_INSIDE, nullptr,
                0);
        if (flags & kDrawTextClip) fl_pop_clip();
    }

    void drawIcon(const Rect16& box, const IconObj& icon) override {
        if (Fl_Image* image = fltkImageOf(icon))
            image->draw(box.x, box.y + FltkDrawScope::offsetY(), box.width, box.height);
    }

    void pushClip(const Rect16& box) override {
        fl_push_clip(box.x, box.y + FltkDrawScope::offsetY(), box.width, box.height);
    }

    void popClip() override { fl_pop_clip(); }

    int textWidth(const char* text, const FontObj& font) override {
        fl_font(toFlFont(font), font.size);
        return int(fl_width(text));
    }
};

}  // namespace

Backend* createFltkBackend(int argc, char** argv) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return nullptr;
    if (argc > 0 && argv[0] != nullptr && argv[0][0] != '\0') {
        gProgramName = argv[0];
        gProgramName.erase(0, gProgramName.rfind('/') + 1);
    }
    fl_open_display(display);
    fl_register_images();
    Fl::scheme("gtk+");
    Fl::visual(FL_DOUBLE | FL_RGB);
    return new FltkBackend;
}

// Under LeakSanitizer: fontconfig and Xlib keep caches for the life of the
// process and never free them, which the leak check would report at exit of
// every program that opened a display. Ignored when not built with sanitizers.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\nleak:libX11.so\nleak:libXft.so\n";
}
