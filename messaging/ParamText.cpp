#include "messaging/ParamText.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "core/Utilities.h"

namespace {

bool parseInteger(const std::string& text, long minimum, long maximum, long& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtol(text.c_str(), &end, 0);
    return errno == 0 && *end == '\0' && value >= minimum && value <= maximum;
}

bool parseHex(const std::string& text, std::vector<uint8_t>& bytes) {
    if (text.size() % 2 != 0) return false;
    for (size_t i = 0; i < text.size(); i += 2) {
        char* end = nullptr;
        std::string pair = text.substr(i, 2);
        long value = std::strtol(pair.c_str(), &end, 16);
        if (*end != '\0') return false;
        bytes.push_back(uint8_t(value));
    }
    return true;
}

bool readFile(const std::string& path, std::vector<uint8_t>& bytes) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return true;
}

std::string hexOf(const uint8_t* bytes, long length) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (long i = 0; i < length; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 15];
    }
    return text;
}

}  // namespace

bool addParamFromText(Message& message, const std::string& argument, std::string& error) {
    if (argument.size() < 5 || argument[4] != ':') {
        error = "parameter \"" + argument + "\" is not of the form TYPE:VALUE";
        return false;
    }
    TypeCode type = typeCodeFromBytes(argument.c_str());
    std::string value = argument.substr(5);
    long number = 0;
    bool added = false;
    if (type == kParamS255 || type == kParamST31) {
        added = message.addTextParam(value.c_str(), type);
    } else if (type == kParamLong || type == kParamError) {
        if (!parseInteger(value, INT32_MIN, INT32_MAX, number)) {
            error = "LONG takes a 32-bit integer, not \"" + value + "\"";
            return false;
        }
        added = message.addLongParam(int32_t(number), type);
    } else if (type == kParamShort) {
        if (!parseInteger(value, INT16_MIN, INT16_MAX, number)) {
            error = "SHRT takes a 16-bit integer, not \"" + value + "\"";
            return false;
        }
        added = message.addShortParam(int16_t(number));
    } else if (type == kParamBool) {
        if (value != "0" && value != "1") {
            error = "BOOL takes 0 or 1, not \"" + value + "\"";
            return false;
        }
        added = message.addBoolParam(value == "1");
    } else if (type == kParamType) {
        if (value.size() != 4) {
            error = "IDNT takes four characters, not \"" + value + "\"";
            return false;
        }
        added = message.addTypeParam(typeCodeFromBytes(value.c_str()));
    } else if (type == kParamData) {
        std::vector<uint8_t> bytes;
        bool ok =
            value.rfind('@', 0) == 0 ? readFile(value.substr(1), bytes) : parseHex(value, bytes);
        if (!ok) {
            error = "DATA takes hex digits or @file, not \"" + value + "\"";
            return false;
        }
        added = message.addParam(type, bytes.data(), long(bytes.size()));
    } else {
        error = "unknown parameter type \"" + argument.substr(0, 4) + "\"";
        return false;
    }
    if (!added) error = "a message holds at most 32 parameters";
    return added;
}

std::string describeParam(const Message& message, int index) {
    TypeCode type = message.getParamType(index);
    long length = message.getParamLength(index);
    std::string line = std::to_string(index) + " " + TypeIdentToCStr(type) + " ";
    if (type == kParamS255 || type == kParamST31) {
        std::string text(reinterpret_cast<const char*>(message.getParam(index)), size_t(length));
        line += text.substr(0, text.find('\0'));
    } else if ((type == kParamLong || type == kParamError) && length == 4) {
        line += std::to_string(message.getLongParam(index));
    } else if (type == kParamShort && length == 2) {
        line += std::to_string(message.getShortParam(index));
    } else if (type == kParamBool && length == 1) {
        line += message.getBoolParam(index) ? "1" : "0";
    } else if (type == kParamType && length == 4) {
        line += TypeIdentToCStr(message.getTypeParam(index));
    } else {
        line += std::to_string(length) + " bytes " + hexOf(message.getParam(index), length);
    }
    return line;
}
