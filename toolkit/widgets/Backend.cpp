// The running backend: headless until ERR_Master installs another.
#include "toolkit/widgets/Backend.h"

#include <memory>

#include "toolkit/headless/HeadlessBackend.h"

namespace {
std::unique_ptr<Backend> gBackend;  // the backend in use; made headless on first use
}

Backend& currentBackend() {
    if (!gBackend) gBackend = std::make_unique<HeadlessBackend>();
    return *gBackend;
}

void installBackend(Backend* backend) { gBackend.reset(backend); }
