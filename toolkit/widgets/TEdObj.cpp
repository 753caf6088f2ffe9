// Text fields: contents, selection and insertion point.
#include "toolkit/widgets/TEdObj.h"

#include <cstdlib>

#include "toolkit/widgets/KeyboardNavigation.h"

std::unique_ptr<WgtObj> TEdObj::clone() const {
    return std::make_unique<TEdObj>(*this);
}

void TEdObj::defaultNotify(int code) {
    // Return in a one-line field answers the dialog, as if its default
    // button was clicked; a procedure that gives Return another meaning
    // does not pass the code on.
    if (code == kNfyEnterKey && !multiLine) {
        pressDefaultButton(this);
        return;
    }
    WgtObj::defaultNotify(code);
}

namespace {
int clampPosition(const TEdObj* field, int position) {
    int length = int(field->text.size());
    return position < 0 || position > length ? length : position;
}
}  // namespace

void TED_DefNfy(TEdObj* field, int code) {
    if (field) field->TEdObj::defaultNotify(code);
}

void TED_SetStr(TEdObj* field, const char* text) {
    if (field == nullptr) return;
    field->text = text ? text : "";
    field->selectionStart = field->selectionEnd = int(field->text.size());
    field->changed();
}

const char* TED_GetStr(const TEdObj* field) {
    return field ? field->text.c_str() : "";
}
int TED_GetStrLen(const TEdObj* field) {
    return field ? int(field->text.size()) : 0;
}

void TED_InsertStr(TEdObj* field, const char* text) {
    if (field == nullptr || text == nullptr) return;
    int start = clampPosition(field, field->selectionStart);
    int end = clampPosition(field, field->selectionEnd);
    if (end < start) std::swap(start, end);
    field->text.replace(size_t(start), size_t(end - start), text);
    field->selectionStart = field->selectionEnd = start + int(std::char_traits<char>::length(text));
    field->changed();
}

void TED_ClearAll(TEdObj* field) {
    TED_SetStr(field, "");
}

void TED_SetInt32(TEdObj* field, int32_t value) {
    TED_SetStr(field, std::to_string(value).c_str());
}

int32_t TED_GetInt32(const TEdObj* field) {
    return field ? int32_t(std::atol(field->text.c_str())) : 0;
}

void TED_SelectAll(TEdObj* field) {
    TED_SelectRange(field, 0, -1);
}

void TED_SelectRange(TEdObj* field, int start, int end) {
    if (field == nullptr) return;
    field->selectionStart = clampPosition(field, start);
    field->selectionEnd = clampPosition(field, end);
    field->changed();
}

const char* TED_GetSelStr(TEdObj* field) {
    if (field == nullptr) return "";
    int start = clampPosition(field, field->selectionStart);
    int end = clampPosition(field, field->selectionEnd);
    if (end < start) std::swap(start, end);
    field->selectionText = field->text.substr(size_t(start), size_t(end - start));
    return field->selectionText.c_str();
}

void TED_SetInsertPos(TEdObj* field, int position) {
    if (field == nullptr) return;
    field->selectionStart = field->selectionEnd = clampPosition(field, position);
    field->changed();
}
