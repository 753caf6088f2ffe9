// The bundled resource libraries, as the toolkit tests load them from the source tree.
#pragma once

#include <utility>

// Loads "shared" and "kelvane"; false when either is missing or malformed.
bool loadBundledLibraries();

// Every window of the bundled libraries, as library and window name.
inline constexpr std::pair<const char*, const char*> kBundledWindows[] = {
    {"kelvane", "workspace"},     {"kelvane", "toolInfoWindow"},     {"kelvane", "aboutOKAWindow"},
    {"kelvane", "connectWindow"}, {"kelvane", "kelvanePreferences"}, {"kelvane", "listFilter"},
    {"kelvane", "pathnames"},     {"kelvane", "FindWindow"},         {"shared", "alertWindow"},
    {"shared", "filePicker"},
};
