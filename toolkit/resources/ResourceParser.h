// Reads a resource library file (format: resources/README.md) into the
// library registry. Every error names the file and the line.
#pragma once

#include <string>

// Parses `path` and registers its resources under `libraryName` (or under
// the library a "library" line names). On failure returns false and sets
// `error` to "<path>:<line>: <what is wrong>"; resources defined before the
// bad line stay registered.
bool parseResourceFile(const char* libraryName, const char* path, std::string* error);
