// The X11 backend is being written; until it lands every program runs headless.
#include "toolkit/FltkBackend.h"

Backend* createFltkBackend(int /*argc*/, char** /*argv*/) { return nullptr; }
