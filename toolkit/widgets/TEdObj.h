// TEdObj: an editable text field, single- or multi-line. Edits by the user
// notify kNfyKeyTyped (108) after the text changed; Enter in a single-line
// field notifies kNfyEnterKey (200), which the default procedure answers by
// pressing the window's default button. Positions count bytes from 0.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "toolkit/widgets/WgtObj.h"

class TEdObj : public WgtObj {
  public:
    TEdObj() : WgtObj(WgtKind::TextField) {}

    std::unique_ptr<WgtObj> clone() const override;
    void defaultNotify(int code) override;

    std::string text;           // the field's contents
    bool multiLine = false;     // Enter inserts a line end instead of notifying 200
    bool editable = true;       // the user may change the text
    int selectionStart = 0;     // first selected byte
    int selectionEnd = 0;       // one past the last selected byte; equal: no selection
    std::string selectionText;  // the selected text, kept for TED_GetSelStr
};

void TED_DefNfy(TEdObj* field, int code);
void TED_SetStr(TEdObj* field, const char* text);
// The text; valid until the field changes.
const char* TED_GetStr(const TEdObj* field);
int TED_GetStrLen(const TEdObj* field);
// Replaces the selection (or inserts at the insertion point) with `text`
// and puts the insertion point after it.
void TED_InsertStr(TEdObj* field, const char* text);
void TED_ClearAll(TEdObj* field);
void TED_SetInt32(TEdObj* field, int32_t value);
// The text read as a decimal number (0 when it holds none).
int32_t TED_GetInt32(const TEdObj* field);
void TED_SelectAll(TEdObj* field);
// Selects bytes start to end (end excluded); positions are clamped.
void TED_SelectRange(TEdObj* field, int start, int end);
const char* TED_GetSelStr(TEdObj* field);
// Moves the insertion point; a negative or too large position means the end.
void TED_SetInsertPos(TEdObj* field, int position);
