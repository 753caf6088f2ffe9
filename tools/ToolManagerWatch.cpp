#include "tools/ToolManagerWatch.h"

#include "core/Log.h"
#include "core/Platform.h"
#include "core/Utilities.h"
#include "messaging/MessageCenter.h"

namespace {
constexpr const char* kLogSource = "../okatool";
}  // namespace

ToolManagerWatch::ToolManagerWatch()
    : known(currentIdentity()), lastCheck(currentMilliseconds()), lastProbe(lastCheck) {}

FileStamp ToolManagerWatch::currentIdentity() {
    return fileStampOf(TCPTransport::portFilePath().c_str());
}

bool ToolManagerWatch::toolManagerAnswers(const FileStamp& identity) {
    // A Tool Manager that ended in order removed its port file: whatever
    // answers on its port now is some other program (another user's or
    // another session's Tool Manager), not ours.
    if (!identity.exists) return false;
    return gMessageCenter->tickleTool(gKelvaneToolInfo).ok();
}

ToolManagerWatch::Change ToolManagerWatch::check() {
    uint32_t now = currentMilliseconds();
    if (now - lastCheck < kCheckIntervalMs) return Change::none;
    lastCheck = now;

    FileStamp identity = currentIdentity();
    if (identity.exists && !(identity == known)) {
        TCPTransport::forgetToolManagerPort();
        // A file caught between truncation and writing reads as no port: look again later.
        int port = TCPTransport::getToolManagerPort();
        if (port != 0) {
            known = identity;
            gKelvaneToolInfo.port = port;
            silentSince = 0;
            lastProbe = now;
            return Change::restarted;
        }
    }
    if (now - lastProbe < kProbeIntervalMs) return Change::none;
    lastProbe = now;
    if (toolManagerAnswers(identity)) {
        silentSince = 0;
        return Change::none;
    }
    if (silentSince == 0) silentSince = now;
    if (now - silentSince < kOrphanLimitMs) return Change::none;
    OKA_LOG("the Tool Manager has not answered for %u ms", unsigned(now - silentSince));
    return Change::gone;
}
