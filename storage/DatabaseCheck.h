// Structural validation of a block database file, for okadb and the tests,
// read from the bytes alone (a damaged file may not open): the header, the
// master pointer list, every entry's place in the file (inside it, after the
// header, sharing no byte with the list or another block) and the fields of
// the first block of each type, where preference and project files keep
// their records. Repair writes a sound copy of what can be saved.
#pragma once

#include <string>
#include <vector>

#include "core/Result.h"
#include "core/TypeCode.h"

// Appends one line per problem found to `problems`; true when the file is sound.
bool checkDatabaseFile(const char* path, std::vector<std::string>* problems);

// Writes a sound copy of the file at `path` to `copyPath` (never in place):
// same type and versions, the blocks in list order less those outside the
// file or over bytes an earlier one holds, fields cut to those that fit,
// free space left out. One line per thing dropped goes to `notes`. Fails
// when the header or the list cannot be read or the copy cannot be written.
Status repairDatabaseFile(const char* path, const char* copyPath, std::vector<std::string>* notes);

// The type's four characters with anything unprintable shown as '?'.
std::string printableType(TypeCode type);
