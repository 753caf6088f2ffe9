// The command line of okasample: which tool it pretends to be, the commands
// it publishes and the file extensions it recognises.
#pragma once

#include <string>
#include <vector>

#include "core/TypeCode.h"

struct SampleCommand {
    std::string name;                       // command name shown in the menus
    long requirement = 0;                   // 0 nothing, 1 file, 2 engine, 3 engine or nothing
    TypeCode requiresType = kWildcardType;  // file type for requirement 1
};

struct SampleFileType {
    std::string extension;    // without the dot: "qa"
    std::string typeName;     // "Quenta agent"
    TypeCode typeCode = 0;    // 'QAGT'
    std::string description;  // shown for the type's component list
};

struct SampleOptions {
    std::string name = "Sample Tool";     // display name
    std::string company = "OKA Samples";  // maker
    int majorVersion = 1;
    int minorVersion = 0;
    TypeCode toolType = typeCode("SMPL");
    bool isSourceViewer = false;
    std::string program;  // program path given to 'REGT'
    std::vector<SampleCommand> commands;
    std::vector<SampleFileType> fileTypes;
};

// Reads argv into `options`; false with a reason in `error` on a bad argument.
bool parseSampleOptions(int argc, char** argv, SampleOptions& options, std::string& error);

inline constexpr const char* kSampleUsage =
    "Usage: okasample [options]\n"
    "A sample tool of the OKA: it registers with the Tool Manager, publishes\n"
    "commands, identifies files by extension and logs what it receives.\n"
    "\n"
    "  --name NAME             display name (default \"Sample Tool\")\n"
    "  --company TEXT          maker (default \"OKA Samples\")\n"
    "  --tool-version MAJOR.MINOR\n"
    "                          version the tool announces (default 1.0)\n"
    "  --type CODE             four-character tool type (default SMPL)\n"
    "  --source-viewer         the tool displays source files\n"
    "  --program PATH          program path given to the Tool Manager (default argv[0])\n"
    "  --command NAME:REQUIRES[:TYPE]\n"
    "                          publish a command; REQUIRES is 0 nothing, 1 a file of\n"
    "                          TYPE, 2 an engine, 3 an engine or nothing (repeatable)\n"
    "  --extension EXT:NAME:CODE[:DESCRIPTION]\n"
    "                          identify files ending in .EXT as type CODE (repeatable)\n"
    "  --help                  show this text\n"
    "  --version               show the version of okasample itself\n";
