// Text forms of message parameters, for command-line clients and logs:
// "S255:text", "ST31:text", "LONG:n", "SHRT:n", "BOOL:0|1", "IDNT:ABCD",
// "DATA:hex" or "DATA:@file".
#pragma once

#include <string>

#include "messaging/Message.h"

// Adds the parameter written as `argument` to `message`. On failure returns
// false and explains why in `error`.
bool addParamFromText(Message& message, const std::string& argument, std::string& error);

// One line for parameter `index`: its type and its value decoded by type.
std::string describeParam(const Message& message, int index);
