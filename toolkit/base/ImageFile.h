// Reads the pixel size of an image file without decoding it, so that icons
// have their size in every backend. Knows XPM, PNG and GIF.
#pragma once

// True and the size when `path` is a readable image of a known kind.
bool readImageSize(const char* path, int* width, int* height);
