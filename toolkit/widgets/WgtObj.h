// WgtObj: the base of every toolkit object that sits in a window (windows
// themselves included). It keeps the whole state of the widget, so the
// application runs and is tested without a display; a backend may attach a
// window-system peer that mirrors this state.
//
// Every widget can carry one notification procedure. The toolkit calls it
// with the widget and a notification code (NotifyCodes.h); the procedure
// handles the codes it knows and passes the others on to the default
// procedure of the widget's kind (WGT_DefNfy, TBUT_DefNfy, LBOX_DefNfy ...).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "toolkit/base/GraphicResources.h"
#include "toolkit/base/NotifyCodes.h"
#include "toolkit/base/Rect16.h"

class PanelObj;
class WinObj;

enum class WgtKind {
    Window,
    Panel,
    ScrollPanel,
    Button,
    TextField,
    Label,
    IconArea,
    ListBox,
    ComboBox
};

// How a widget follows when its parent changes size (WGT_SetRzFlags). Each
// bit keeps one thing; what is not kept follows the parent's far edge: a
// free left edge moves with the right side, a free width grows with it (and
// the same downwards). Freeing both shares the change between them.
enum ResizeFlags : int {
    kRzFixLeft = 1,     // the left edge keeps its place
    kRzFixTop = 4,      // the top edge keeps its place
    kRzFixWidth = 16,   // the width stays
    kRzFixHeight = 64,  // the height stays
    kRzFixed = kRzFixLeft | kRzFixTop | kRzFixWidth | kRzFixHeight,  // nothing moves (the default)
};

// Client data: an integer or a pointer that the application keeps with an
// object, a list row, a combo element or a menu item.
using ClientData = uintptr_t;

class WgtObj {
  public:
    explicit WgtObj(WgtKind objectKind) : kind(objectKind) {}
    virtual ~WgtObj() = default;
    // Copies the state; the copy has no parent and no peer.
    WgtObj(const WgtObj& other);
    WgtObj& operator=(const WgtObj&) = delete;

    // Delivers a notification to the procedure, or to the default procedure
    // of the kind when there is none.
    void notify(int code);

    // The default procedure of this kind. Subclasses extend it for their
    // codes and pass the rest to their base class.
    virtual void defaultNotify(int code);

    // A copy of this widget and its children, without parent and peer.
    virtual std::unique_ptr<WgtObj> clone() const = 0;

    // Called before the widget is deleted, children first: delivers the
    // destruction notifications of the kind and lets the backend drop the peer.
    virtual void release();

    // The window that contains the widget (the widget itself for a window).
    WinObj* window();
    // Position of the widget's top-left corner in its window's coordinates.
    void windowOrigin(int* x, int* y) const;
    // Tells the backend that the state changed, so the peer follows.
    void changed();

    const WgtKind kind;           // what sort of widget this is
    std::string name;             // resource name ("1newProject"), may be empty
    Rect16 box;                   // geometry relative to the parent
    bool visible = true;          // shown when its window is shown
    bool enabled = true;          // reacts to the user
    ColorObj* bgColor = nullptr;  // background; null: the backend's default
    ColorObj* fgColor = nullptr;  // text and line colour; null: black
    FontObj* font = nullptr;      // text font; null: FONT_Default()
    PenObj* pen = nullptr;        // frame pen; null: the kind's default frame
    CursObj* cursor = nullptr;    // pointer shape over the widget; null: arrow
    int resizeFlags = kRzFixed;   // how the widget follows its parent's resizing (ResizeFlags)
    ClientData clientData = 0;    // the application's value
    PanelObj* parent =
        nullptr;  // the containing panel or window; null for a window or a loose widget
    std::function<void(WgtObj*, int)> procedure;  // the notification procedure, or empty
    void* peer = nullptr;  // the backend's window-system object, null without one
};

// Attaches a typed notification procedure, for example
// RES_SetNfyProcDS(list, nd_componentListNfy, 0) with
// void nd_componentListNfy(LBoxObj*, int). Passing null removes it.
template <class Object>
void RES_SetNfyProcDS(Object* object, void (*procedure)(Object*, int), int /*flags*/) {
    if (object == nullptr) return;
    if (procedure == nullptr) {
        object->procedure = nullptr;
        return;
    }
    object->procedure = [procedure](WgtObj* target, int code) {
        procedure(static_cast<Object*>(target), code);
    };
}

// The default procedure of plain widgets.
void WGT_DefNfy(WgtObj* widget, int code);

void WGT_SetBox(WgtObj* widget, const Rect16* box);
void WGT_SetResBox(WgtObj* widget, const Rect16* box);
void WGT_GetResBox(const WgtObj* widget, Rect16* box);
void WGT_SetVisibility(WgtObj* widget, bool visible);
void WGT_SetInvisible(WgtObj* widget);
bool WGT_IsVisible(const WgtObj* widget);
void WGT_SetEnabled(WgtObj* widget, bool enabled);
bool WGT_IsEnabled(const WgtObj* widget);
void WGT_SetBgColor(WgtObj* widget, ColorObj* color);
ColorObj* WGT_GetBgColor(const WgtObj* widget);
void WGT_SetFgColor(WgtObj* widget, ColorObj* color);
void WGT_SetFont(WgtObj* widget, FontObj* font);
void WGT_SetPen(WgtObj* widget, PenObj* pen);
// The cursor shown whenever the pointer is over the widget.
void WGT_SetCursor(WgtObj* widget, CursObj* cursor);
// Shows `cursor` at once over the widget (the wait cursor while searching).
void WGT_UseCursor(WgtObj* widget, CursObj* cursor);
void WGT_SetRzFlags(WgtObj* widget, int flags);
// Asks for the widget to be drawn again.
void WGT_Inval(WgtObj* widget);
void WGT_GainFocus(WgtObj* widget);
// Marks the current mouse or key event as consumed.
void WGT_MouseHandled(WgtObj* widget);
void WGT_KeyHandled(WgtObj* widget);
WinObj* WGT_GetWin(WgtObj* widget);
void WGT_SetClientData(WgtObj* widget, ClientData data);
ClientData WGT_GetClientData(const WgtObj* widget);
// Delivers kNfyInit to the widget and then to its children, depth first.
void WGT_InitTree(WgtObj* widget);
// Destroys a widget that the application owns (made with TBUT_Create or
// RES_Clone, or taken out with PANEL_RemoveWgt); a widget still in a panel
// is taken out first.
void WGT_Terminate(WgtObj* widget);
