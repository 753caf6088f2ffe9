// FLTK images of toolkit icons, read once per file and kept for the run.
#pragma once

class Fl_Image;
struct IconObj;

// The image of the icon's file, or null when FLTK cannot read it.
Fl_Image* fltkImageOf(const IconObj& icon);
