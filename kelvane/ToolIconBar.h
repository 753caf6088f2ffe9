// The tool icons of the workspace window: one button per registered tool in
// the workspace's tool icon panel, labelled with the tool's name and showing
// the image of its tool type, in one row in ascending name order. An icon
// whose tool was unloaded carries the unloaded mark, drawn over the top
// centre of the button. The bar follows the registry as its listener.
//
// The workspace hands its tool icon panel over when its window is made and
// takes it back (null) before the window goes; without a panel the bar still
// places icons but makes no buttons. Buttons belong to the window: an icon
// stays when its tool unregisters, but no longer takes part in placing.
#pragma once

#include <vector>

#include "messaging/ToolInfo.h"
#include "toolkit/base/Rect16.h"
#include "tools/ToolRegistryListener.h"

struct IconObj;
class PanelObj;
class TButObj;

class ToolIconBar : public ToolRegistryListener {
  public:
    static constexpr int16_t kIconSpacing = 75;

    ToolIconBar() = default;
    ToolIconBar(const ToolIconBar&) = delete;
    ToolIconBar& operator=(const ToolIconBar&) = delete;
    ~ToolIconBar() override;

    void setPanel(PanelObj* panel);
    // The panel's height; 0 without a panel.
    int panelHeight() const;

    void toolAdded(const RegisteredTool& tool) override;
    void toolReregistered(const RegisteredTool& tool) override;
    void toolUnloaded(const RegisteredTool& tool) override;
    void toolRemoved(const RegisteredTool& tool) override;

    // The box of a new icon for a tool named `name`; moves the icons that
    // must make room for it.
    void arrangeIconBoxes(const char* name, Rect16* box);
    // Where the icon of the registered tool of `toolType` stands; null if none.
    const Rect16* iconBoxOf(TypeCode toolType) const;
    // The button of that icon; null without one.
    TButObj* iconOf(TypeCode toolType) const;
    // The window destroyed `button`.
    void forgetButton(const TButObj* button);

  private:
    struct Icon {
        TypeCode toolType;          // the tool it stands for
        char name[32];              // the tool's name: the order of the row
        Rect16 box;                 // place in the icon panel
        TButObj* button = nullptr;  // owned by the workspace window; null without one
        bool registered = true;     // false once the tool unregistered: no longer placed
    };
    Icon* registeredIcon(TypeCode toolType);
    const Icon* registeredIcon(TypeCode toolType) const;

    PanelObj* panel = nullptr;  // the workspace's tool icon panel, or null
    std::vector<Icon> icons;    // in registration order
};

// The image of a tool's type from the shared library ("browser", "compiler",
// ... or "genericToolIcon").
IconObj* getToolIcon(const ToolInfo* tool);
// A new icon in `panel` at `box`, mark cleared.
TButObj* createToolIcon(PanelObj* panel, const ToolInfo* tool, const Rect16* box);
// Sets or clears the unloaded mark and redraws the icon.
void setToolIconUnloaded(TButObj* icon, bool unloaded);
bool toolIconIsUnloaded(const TButObj* icon);

// The Tool Manager's icon bar, owned by ToolManagerApp.
extern ToolIconBar* gToolIconBar;
