// A reader of the project file written for the tests from the documented
// block file layout alone, independent of the storage code: the records of
// a type are the fields of the first block of that type.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

std::vector<std::string> recordsInFile(const std::filesystem::path& path, const char (&type)[5]);
// A record's text up to its terminator.
std::string textOf(const std::string& record);
