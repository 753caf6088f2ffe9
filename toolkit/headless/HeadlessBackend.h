// The headless backend: no window system at all. Peers do not exist,
// drawing goes nowhere (DRAW_* calls are still recorded by the automation
// interface), input comes only from the automation interface, and modal
// loops and pop-up menus end at once unless a script answered them.
#pragma once

#include "toolkit/widgets/Backend.h"

class HeadlessBackend : public Backend {
  public:
    const char* name() const override { return "headless"; }
    void routeErrorsToLog() override {}

    void update(WgtObj*) override {}
    void release(WgtObj*) override {}
    void show(WinObj*) override {}
    void minimize(WinObj*) override {}
    void invalidate(WgtObj*) override {}
    void focus(WgtObj* widget) override;
    void useCursor(WgtObj*, CursObj*) override {}
    void updateCursor() override {}

    void processPending() override {}
    void wait(int milliseconds) override;
    void runModal(WinObj* window) override;
    int connectionDescriptor() const override { return -1; }
    bool hasQueuedEvents() const override { return false; }
    void discardKeyEvents() override {}
    void processExposures() override {}
    void showBusy(bool) override {}
    void beep() override;
    int popupMenu(MenuObj* menu, WgtObj* anchor) override;
    bool trackPointer(WgtObj* widget, int* x, int* y) override;

    void beginDrawing(WgtObj*) override {}
    void drawDefault(WgtObj*) override {}
    void fillRect(const Rect16&, const ColorObj&) override {}
    void frameRect(const Rect16&, const PenObj&, const ColorObj&) override {}
    void drawText(const Rect16&, int, const char*, const FontObj&, const ColorObj&) override {}
    void drawIcon(const Rect16&, const IconObj&) override {}
    void pushClip(const Rect16&) override {}
    void popClip() override {}
    // An estimate: an average glyph is six tenths of the font size wide.
    int textWidth(const char* text, const FontObj& font) override;
};
