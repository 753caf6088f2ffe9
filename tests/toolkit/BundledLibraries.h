// The bundled resource libraries, as the toolkit tests load them from the source tree.
#pragma once

#include <cstdlib>
#include <string>
#include <utility>

#include "toolkit/Toolkit.h"

// Loads "shared" and "kelvane"; false when either is missing or malformed.
inline bool loadBundledLibraries() {
    const char* source = std::getenv("OKA_SOURCE_DIR");
    std::string directory = std::string(source ? source : ".") + "/resources/resource/";
    return RLIB_LoadLibFile("shared", (directory + "shared.dat").c_str()) &&
           RLIB_LoadLibFile("kelvane", (directory + "kelvane.dat").c_str());
}

// Every window of the bundled libraries, as library and window name.
inline constexpr std::pair<const char*, const char*> kBundledWindows[] = {
    {"kelvane", "workspace"},     {"kelvane", "toolInfoWindow"},     {"kelvane", "aboutOKAWindow"},
    {"kelvane", "connectWindow"}, {"kelvane", "kelvanePreferences"}, {"kelvane", "listFilter"},
    {"kelvane", "pathnames"},     {"kelvane", "FindWindow"},         {"shared", "alertWindow"},
    {"shared", "filePicker"},
};
