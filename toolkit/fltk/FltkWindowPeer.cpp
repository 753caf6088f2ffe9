// Window peers: title, geometry, menu bar and the close box.
#include "toolkit/fltk/FltkWindowPeer.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/fl_draw.H>

#include <string>

#include "toolkit/fltk/FltkBackendState.h"
#include "toolkit/fltk/FltkConvert.h"
#include "toolkit/widgets/Dispatch.h"
#include "toolkit/widgets/MBarObj.h"
#include "toolkit/widgets/WinObj.h"

namespace {
constexpr int kMenuFontSize = 14;
constexpr int kMenuTitlePadding = 20;  // FLTK's room around a menu bar title, and a little air

void closeCallback(Fl_Widget* peer, void*) {
    // FLTK also calls this for Escape; only the window manager's close counts.
    if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape) return;
    if (auto* window = static_cast<WinObj*>(objectOf(peer))) dispatchClose(window);
}

// Menu item callbacks carry the title and item indices packed in their data.
void menuCallback(Fl_Widget* bar, void* data) {
    auto* window = static_cast<WinObj*>(objectOf(bar->window()));
    auto packed = reinterpret_cast<uintptr_t>(data);
    if (window) dispatchMenuChoice(window, int(packed >> 16), int(packed & 0xFFFF));
}

}  // namespace

FltkWindowPeer::FltkWindowPeer(WinObj* window)
    : FltkPeer<Fl_Double_Window>(window->box.x, window->box.y, window->box.width,
                                 window->box.height + fltkMenuOffset(window)),
      window_(window),
      // A remembered size may be larger than the resource's: the least is the resource's.
      minimumWidth_(window->minimumWidth > 0 ? window->minimumWidth : w()),
      minimumHeight_(window->minimumHeight > 0 ? window->minimumHeight : window->box.height) {
    resizeAnchor_ = new Fl_Box(w(), h(), 0, 0);
    end();  // FLTK windows start collecting children when made
    resizable(resizeAnchor_);
    user_data(window);
    callback(closeCallback, window);
    sync();
}

void FltkWindowPeer::sync() {
    syncing_ = true;
    copy_label(window_->label.c_str());
    if (window_->bgColor) color(toFlColor(*window_->bgColor));
    int height = window_->box.height + fltkMenuOffset(window_);
    if (window_->resizable)
        size_range(minimumWidth_, minimumHeight_ + fltkMenuOffset(window_));
    else
        size_range(window_->box.width, height, window_->box.width, height);
    if (window_->box.x != syncedX_ || window_->box.y != syncedY_) {
        syncedX_ = window_->box.x;
        syncedY_ = window_->box.y;
        resize(window_->box.x, window_->box.y, window_->box.width, height);
    } else if (w() != window_->box.width || h() != height) {
        size(window_->box.width, height);
    }
    syncMenuBar();
    syncing_ = false;
}

void FltkWindowPeer::resize(int x, int y, int width, int height) {
    bool sizeChanged = width != w() || height != h();
    // FLTK lays children out from the places it noted at an earlier resize;
    // note the present ones, so that nothing left of and above the anchor moves.
    init_sizes();
    Fl_Double_Window::resize(x, y, width, height);
    if (syncing_ || objectOf(this) == nullptr) return;
    // Only the position is taken here: dispatchResize compares the new size
    // with the box to lay the children out, so it must find the old one.
    window_->box.x = int16_t(x);
    window_->box.y = int16_t(y);
    syncedX_ = x;
    syncedY_ = y;
    if (menuBar_) placeMenuBars();
    if (sizeChanged) dispatchResize(window_, width, height - fltkMenuOffset(window_));
}

bool FltkWindowPeer::takeMenuOffsetChange() {
    bool changed = offsetChanged_;
    offsetChanged_ = false;
    return changed;
}

namespace {
// Appends a title and its menu's items, ended as FLTK wants a submenu.
void appendTitle(std::vector<Fl_Menu_Item>& items, const MenuTitle& entry, size_t title) {
    items.push_back({entry.label.c_str(), 0, nullptr, nullptr, FL_SUBMENU, 0, 0, kMenuFontSize, 0});
    if (entry.menu) {
        const auto& menuItems = entry.menu->items;
        for (size_t index = 0; index < menuItems.size(); ++index) {
            const MenuItem& item = menuItems[index];
            if (item.separator) {
                if (!items.empty()) items.back().flags |= FL_MENU_DIVIDER;
                continue;
            }
            int flags = toFlMenuFlags(item);
            void* packed = reinterpret_cast<void*>(uintptr_t(title << 16 | index));
            items.push_back({item.label.c_str(), toFlShortcut(item), menuCallback, packed, flags, 0,
                             0, kMenuFontSize, 0});
        }
    }
    items.push_back({nullptr, 0, nullptr, nullptr, 0, 0, 0, 0, 0});
}

// The room a row of titles takes in a menu bar: each label (without its
// mnemonic marks) with the bar's padding on both sides.
int titlesWidth(const MBarObj& bar) {
    fl_font(FL_HELVETICA, kMenuFontSize);
    int width = 0;
    for (const MenuTitle& entry : bar.titles) {
        if (!entry.rightAligned) continue;
        std::string text;
        for (char c : entry.label)
            if (c != '&') text += c;
        width += int(fl_width(text.c_str())) + kMenuTitlePadding;
    }
    return width;
}
}  // namespace

void FltkWindowPeer::placeMenuBars() {
    // The width the titles need, not the bar's: FLTK stretches a bar that
    // reaches the window's right edge when the window grows.
    int rightWidth = rightMenuBar_ ? rightBarWidth_ : 0;
    menuBar_->resize(0, 0, w() - rightWidth, menuBar_->h());
    if (rightMenuBar_) rightMenuBar_->resize(w() - rightWidth, 0, rightWidth, menuBar_->h());
}

void FltkWindowPeer::syncMenuBar() {
    MBarObj* bar = window_->menuBar.get();
    if (bar == nullptr) return;
    if (menuBar_ == nullptr) {
        Fl_Group::current(nullptr);
        menuBar_ = new Fl_Menu_Bar(0, 0, w(), fltkMenuOffset(window_));
        menuBar_->box(FL_FLAT_BOX);
        insert(*menuBar_, 0);
        offsetChanged_ = children() > 1;
    }
    menuItems_.clear();
    rightMenuItems_.clear();
    // FLTK's bar lays its titles out from the left: the right-aligned ones
    // ("&Help") get a bar of their own at the right end.
    for (size_t title = 0; title < bar->titles.size(); ++title) {
        const MenuTitle& entry = bar->titles[title];
        appendTitle(entry.rightAligned ? rightMenuItems_ : menuItems_, entry, title);
    }
    menuItems_.push_back({nullptr, 0, nullptr, nullptr, 0, 0, 0, 0, 0});
    menuBar_->menu(menuItems_.data());
    if (!rightMenuItems_.empty() && rightMenuBar_ == nullptr) {
        Fl_Group::current(nullptr);
        rightMenuBar_ = new Fl_Menu_Bar(0, 0, 0, fltkMenuOffset(window_));
        rightMenuBar_->box(FL_FLAT_BOX);
        insert(*rightMenuBar_, 1);
    }
    if (rightMenuBar_) {
        rightMenuItems_.push_back({nullptr, 0, nullptr, nullptr, 0, 0, 0, 0, 0});
        rightMenuBar_->menu(rightMenuItems_.data());
        rightBarWidth_ = titlesWidth(*bar);
    }
    placeMenuBars();
}
