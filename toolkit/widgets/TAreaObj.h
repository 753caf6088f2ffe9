// TAreaObj: a static text used as a label or a status line.
#pragma once

#include <memory>
#include <string>

#include "toolkit/widgets/WgtObj.h"

enum class TextAlign { Left, Center, Right };

class TAreaObj : public WgtObj {
  public:
    TAreaObj() : WgtObj(WgtKind::Label) {}

    std::unique_ptr<WgtObj> clone() const override;

    std::string label;                  // the text shown
    TextAlign align = TextAlign::Left;  // horizontal placement of the text
};

void TAREA_DefNfy(TAreaObj* area, int code);
void TAREA_SetLabel(TAreaObj* area, const char* label);
// The text; valid until the label changes.
const char* TAREA_GetLabel(const TAreaObj* area);
