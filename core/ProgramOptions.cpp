// --help and --version for the environment's programs.
#include "core/ProgramOptions.h"

#include <cstdio>
#include <cstring>

bool answerHelpOrVersion(int argc, char** argv, const char* program, const char* usage) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(usage, stdout);
            return true;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("%s %s\n", program, OKA_VERSION);
            return true;
        }
    }
    return false;
}
