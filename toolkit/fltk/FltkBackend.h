// The X11 backend, built on FLTK: every toolkit object gets an FLTK peer
// made from its state, and FLTK's events become the toolkit's notifications.
#pragma once

class Backend;

// Opens the display; null when it cannot be opened.
Backend* createFltkBackend(int argc, char** argv);
