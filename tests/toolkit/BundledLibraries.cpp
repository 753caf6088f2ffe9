#include "BundledLibraries.h"

#include <cstdlib>
#include <string>

#include "toolkit/Toolkit.h"

bool loadBundledLibraries() {
    const char* source = std::getenv("OKA_SOURCE_DIR");
    std::string directory = std::string(source ? source : ".") + "/resources/resource/";
    return RLIB_LoadLibFile("shared", (directory + "shared.dat").c_str()) &&
           RLIB_LoadLibFile("kelvane", (directory + "kelvane.dat").c_str());
}
