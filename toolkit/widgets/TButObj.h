// TButObj: a push, toggle or radio button with a label and an optional icon.
// Activation (a click, Enter on the default button, an accelerator key)
// notifies kNfyActivated (150), after a toggle or radio button has changed
// its selected state. A button being destroyed gets kNfyButtonDestroyed (1).
#pragma once

#include <memory>
#include <string>

#include "toolkit/widgets/KeyList.h"
#include "toolkit/widgets/WgtObj.h"

enum class ButtonStyle { Push, Toggle, Radio };

class TButObj : public WgtObj {
  public:
    TButObj() : WgtObj(WgtKind::Button) {}
    TButObj(const TButObj& other);

    std::unique_ptr<WgtObj> clone() const override;
    void release() override;

    std::string label;                      // text on the button ('&' marks the mnemonic)
    IconObj* icon = nullptr;                // image drawn above the label; not owned
    ButtonStyle style = ButtonStyle::Push;  // how activation changes `selected`
    bool selected = false;                  // toggle and radio state
    bool isDefault = false;                 // Enter in the window activates it
    bool isCancel = false;                  // Escape in the window activates it
    std::unique_ptr<KyLstObj> accelKeys;    // keys that activate it, or null
};

void TBUT_DefNfy(TButObj* button, int code);
// A new push button with an empty label, owned by the caller until PANEL_AddWgt.
TButObj* TBUT_Create();
void TBUT_SetLabel(TButObj* button, const char* label);
const char* TBUT_GetLabel(const TButObj* button);
void TBUT_SetIcon(TButObj* button, IconObj* icon);
void TBUT_SetSelected(TButObj* button, bool selected);
bool TBUT_GetSelected(const TButObj* button);
// Makes the button its window's default button (the others lose the mark).
void TBUT_SetDefButton(TButObj* button);
// Gives the button its accelerator keys; the button owns the list.
void TBUT_SetAccelKeys(TButObj* button, KyLstObj* keys);
