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

bool parseBox(const std::string& text, Rect16* box) {
    int x = 0, y = 0, width = 0, height = 0;
    char trailing = 0;
    if (std::sscanf(text.c_str(), "%d,%d,%d,%d%c", &x, &y, &width, &height, &trailing) != 4)
        return false;
    if (width < 0 || height < 0) return false;
    *box = makeRect16(x, y, width, height);
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
    if (std::sscanf(text.c_str(), "%d,%d,%d%c", &rgb[0], &rgb[1], &rgb[2], &trailing) != 3)
        return false;
    for (int index = 0; index < 3; ++index)
        if (rgb[index] < 0 || rgb[index] > 255) return false;
    return true;
}

bool parseYesNo(const std::string& text, bool* value) {
    if (text != "yes" && text != "no") return false;
    *value = text == "yes";
    return true;
}
