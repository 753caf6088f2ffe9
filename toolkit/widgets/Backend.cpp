// The running backend: the default one until ERR_Master installs another.
#include "toolkit/widgets/Backend.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {
std::unique_ptr<Backend> gBackend;           // the backend in use; the default made on first use
DefaultBackendMaker gMakeDefault = nullptr;  // offered by the headless backend
}  // namespace

Backend& currentBackend() {
    if (!gBackend) {
        if (gMakeDefault == nullptr) {
            // Only a program linked without the headless backend gets here.
            std::fputs("toolkit: a widget was used before ERR_Master chose a backend\n", stderr);
            std::abort();
        }
        gBackend.reset(gMakeDefault());
    }
    return *gBackend;
}

void installBackend(Backend* backend) {
    gBackend.reset(backend);
}

void offerDefaultBackend(DefaultBackendMaker make) {
    gMakeDefault = make;
}
