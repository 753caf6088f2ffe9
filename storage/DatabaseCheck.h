// Structural validation of a block database file, for okadb and the tests:
// the header, the master pointer list, and every entry's place in the file
// (inside it, after the header, not overlapping the list or another block).
#pragma once

#include <string>
#include <vector>

#include "core/TypeCode.h"

// Appends one line per problem found to `problems`; true when the file is sound.
bool checkDatabaseFile(const char* path, std::vector<std::string>* problems);

// The type's four characters with anything unprintable shown as '?'.
std::string printableType(TypeCode type);
