// The image cache: icons are few and small, so images stay until the end.
#include "toolkit/fltk/FltkImages.h"

#include <FL/Fl_Shared_Image.H>

#include <map>
#include <string>

#include "toolkit/base/GraphicResources.h"

namespace {
std::map<std::string, Fl_Image*> gImages;  // by file name; null: FLTK could not read it
}

Fl_Image* fltkImageOf(const IconObj& icon) {
    if (icon.file.empty()) return nullptr;
    auto found = gImages.find(icon.file);
    if (found != gImages.end()) return found->second;
    Fl_Image* image = Fl_Shared_Image::get(icon.file.c_str());
    gImages[icon.file] = image;
    return image;
}
