// Parsing of okasample's arguments.
#include "tools/sample/SampleOptions.h"

#include <cstdio>
#include <cstring>
#include <sstream>

namespace {
std::vector<std::string> splitFields(const std::string& text) {
    std::vector<std::string> fields;
    std::istringstream stream(text);
    std::string field;
    while (std::getline(stream, field, ':')) fields.push_back(field);
    return fields;
}

bool parseTypeCode(const std::string& text, TypeCode& code) {
    if (text.size() != 4) return false;
    code = typeCodeFromBytes(text.c_str());
    return true;
}

bool parseCommand(const std::string& text, SampleCommand& command) {
    std::vector<std::string> fields = splitFields(text);
    if (fields.size() < 2 || fields.size() > 3 || fields[0].empty()) return false;
    if (fields[1].size() != 1 || fields[1][0] < '0' || fields[1][0] > '3') return false;
    command.name = fields[0];
    command.requirement = fields[1][0] - '0';
    return fields.size() == 2 || parseTypeCode(fields[2], command.requiresType);
}

bool parseFileType(const std::string& text, SampleFileType& fileType) {
    std::vector<std::string> fields = splitFields(text);
    if (fields.size() < 3 || fields.size() > 4 || fields[0].empty()) return false;
    fileType.extension = fields[0];
    fileType.typeName = fields[1];
    if (fields.size() == 4) fileType.description = fields[3];
    return parseTypeCode(fields[2], fileType.typeCode);
}
}  // namespace

bool parseSampleOptions(int argc, char** argv, SampleOptions& options, std::string& error) {
    options.program = argc > 0 ? argv[0] : "okasample";
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        if (option == "--source-viewer") {
            options.isSourceViewer = true;
            continue;
        }
        if (i + 1 >= argc) {
            error = "missing value after " + option;
            return false;
        }
        std::string value = argv[++i];
        bool valid = true;
        if (option == "--name") {
            options.name = value;
        } else if (option == "--company") {
            options.company = value;
        } else if (option == "--program") {
            options.program = value;
        } else if (option == "--tool-version") {
            valid = std::sscanf(value.c_str(), "%d.%d", &options.majorVersion,
                                &options.minorVersion) == 2;
        } else if (option == "--type") {
            valid = parseTypeCode(value, options.toolType);
        } else if (option == "--command") {
            valid = parseCommand(value, options.commands.emplace_back());
        } else if (option == "--extension") {
            valid = parseFileType(value, options.fileTypes.emplace_back());
        } else {
            error = "unknown option " + option;
            return false;
        }
        if (!valid) {
            error = "bad value for " + option + ": " + value;
            return false;
        }
    }
    return true;
}
