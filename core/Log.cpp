#include "core/Log.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

char* gToolName = nullptr;
std::ostream* gOKALogStream = nullptr;
int32_t gMaxOKALogSize = kDefaultMaxLogSize;
int16_t gLogLevel = 0;

void okaLogLine(const char* source, int line, const char* format, ...) {
    if (gOKALogStream == nullptr) return;

    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    std::vector<char> message(length > 0 ? size_t(length) + 1 : 1, '\0');
    if (length > 0) std::vsnprintf(message.data(), message.size(), format, args);
    va_end(args);

    const char* program = gToolName ? gToolName : "";
    *gOKALogStream << program << ' ';
    if (source != nullptr) {
        *gOKALogStream << source;
    } else {
        *gOKALogStream << "../" << program;
    }
    *gOKALogStream << " (" << line << "): \t" << message.data() << '\n';
    gOKALogStream->flush();
}
