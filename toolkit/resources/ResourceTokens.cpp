// Tokens of the resource-file format.
#include "toolkit/resources/ResourceTokens.h"

#include <cstdio>
#include <cstdlib>

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// Reads a quoted text starting at text[position] == '"'; \" and \\ escape.
bool readQuoted(const std::string& text, size_t* position, std::string* out) {
    for (size_t index = *position + 1; index < text.size(); ++index) {
        char c = text[index];
        if (c == '\\' && index + 1 < text.size()) {
            out->push_back(text[++index]);
        } else if (c == '"') {
            *position = index + 1;
            return true;
        } else {
            out->push_back(c);
        }
    }
    return false;
}

std::string readBare(const std::string& text, size_t* position) {
    size_t start = *position;
    while (*position < text.size() && !isSpace(text[*position]) && text[*position] != '=')
        ++*position;
    return text.substr(start, *position - start);
}

}  // namespace

// A '#' starts a comment only where a word could start, so "#336699" is a value.
bool splitResourceLine(const std::string& text, ResourceLine* line, std::string* error) {
    size_t position = 0;
    while (true) {
        while (position < text.size() && isSpace(text[position])) ++position;
        if (position >= text.size() || text[position] == '#') return true;
        std::string word;
        if (text[position] == '"') {
            if (!readQuoted(text, &position, &word)) {
                *error = "unterminated quoted text";
                return false;
            }
            line->words.push_back(word);
            continue;
        }
        word = readBare(text, &position);
        if (position >= text.size() || text[position] != '=') {
            if (word.empty()) {
                *error = "unexpected '='";
                return false;
            }
            line->words.push_back(word);
            continue;
        }
        ++position;  // the '='
        std::string value;
        if (position < text.size() && text[position] == '"') {
            if (!readQuoted(text, &position, &value)) {
                *error = "unterminated quoted text";
                return false;
            }
        } else {
            value = readBare(text, &position);
        }
        if (word.empty() || value.empty()) {
            *error = "attribute without a name or value";
            return false;
        }
        line->attributes[word] = value;
    }
}

bool parseInteger(const std::string& text, int* value) {
    if (text.empty()) return false;
    char* end = nullptr;
    long parsed = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || parsed < -32768 || parsed > 32767) return false;
    *value = int(parsed);
    return true;
}

// Exactly `count` integers separated by commas, each as parseInteger reads it.
bool parseIntegerList(const std::string& text, int* values, size_t count) {
    size_t start = 0;
    for (size_t index = 0; index < count; ++index) {
        size_t comma = text.find(',', start);
        bool last = index + 1 == count;
        if (last != (comma == std::string::npos)) return false;
        size_t end = last ? text.size() : comma;
        if (!parseInteger(text.substr(start, end - start), &values[index])) return false;
        start = end + 1;
    }
    return true;
}

bool parseBox(const std::string& text, Rect16* box) {
    int values[4];
    if (!parseIntegerList(text, values, 4)) return false;
    if (values[2] < 0 || values[3] < 0) return false;  // width and height
    *box = makeRect16(values[0], values[1], values[2], values[3]);
    return true;
}

bool parseRgb(const std::string& text, int rgb[3]) {
    char trailing = 0;
    if (text.size() == 7 && text[0] == '#') {
        unsigned value = 0;
        if (std::sscanf(text.c_str() + 1, "%6x%c", &value, &trailing) != 1) return false;
        rgb[0] = int(value >> 16) & 255;
        rgb[1] = int(value >> 8) & 255;
        rgb[2] = int(value) & 255;
        return true;
    }
    if (!parseIntegerList(text, rgb, 3)) return false;
    for (int index = 0; index < 3; ++index)
        if (rgb[index] < 0 || rgb[index] > 255) return false;
    return true;
}

bool parseYesNo(const std::string& text, bool* value) {
    if (text != "yes" && text != "no") return false;
    *value = text == "yes";
    return true;
}
