#include "kelvane/TerminalNotice.h"

#include <cstdarg>
#include <cstdio>

void tellTerminal(const char* format, ...) {
    std::fputs("kelvane: ", stderr);
    va_list arguments;
    va_start(arguments, format);
    std::vfprintf(stderr, format, arguments);
    va_end(arguments);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}
