// Splitting one line of a resource file into words, quoted texts and
// key=value attributes, and converting attribute values.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "toolkit/base/Rect16.h"

// One line of a resource file split into its words and key=value attributes.
struct ResourceLine {
    std::vector<std::string> words;                 // positional words and quoted texts, in order
    std::map<std::string, std::string> attributes;  // key=value pairs
};

// Splits `text` (a comment starts with '#' outside quotes). False and a
// message in `error` for an unterminated quote or a key without a value.
bool splitResourceLine(const std::string& text, ResourceLine* line, std::string* error);

// Value converters; false when the text is malformed.
bool parseInteger(const std::string& text, int* value);
bool parseBox(const std::string& text, Rect16* box);    // "x,y,width,height"
bool parseRgb(const std::string& text, int rgb[3]);     // "r,g,b" or "#rrggbb"
bool parseYesNo(const std::string& text, bool* value);  // "yes" or "no"
