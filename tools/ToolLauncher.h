// Tool launching: the tool list "toollist" names the tools to start, one word
// each, separated by any white space. A word starting with '#' is skipped
// (only that word). A word starting with "/" or ".." is a path to a program;
// any other word is a program in the installation's bin directory. A word is
// taken as it is (no shell expands it) and the program runs on its own, in
// the background.
#pragma once

#include <string>
#include <vector>

#include "core/Result.h"

// The programs of the tool list at `listPath`: all entries, or with a `name`
// only the first entry whose program name is `name`. Empty when the file
// cannot be read.
std::vector<std::string> toolLaunchPrograms(const char* listPath, const char* okaDirectory,
                                            const char* name);

// Starts the tools of the installation's tool list (or of "toollist" in the
// current directory when the installation has none); with a name, only the
// first entry of that name. Each program that cannot be started is logged;
// the outcome is the last such failure (its errno).
Status launchTools(const char* name);

// The program names (the last path component) of the installation's tool
// list entries, in list order.
std::vector<std::string> toolListPrograms();
