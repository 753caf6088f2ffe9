#include "core/Globals.h"

char* gOkaDirectory = nullptr;
char* gResourcesDirectory = nullptr;
volatile std::sig_atomic_t gFinished = 0;
