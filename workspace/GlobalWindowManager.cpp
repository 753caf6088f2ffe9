// Remembered window positions: the 'GWIN'/'UWIN' service and its 'WPOS'
// records.
#include "workspace/GlobalWindowManager.h"

#include <vector>

#include "core/ByteOrder.h"
#include "core/Log.h"
#include "messaging/MessageCenter.h"
#include "storage/PrefMan.h"
#include "workspace/WindowBox.h"
#include "workspace/WindowPosition.h"

namespace {
constexpr const char* kLogSource = "../globalwin";
}  // namespace

GlobalWindowManager* gGlobalWindowManager = nullptr;

GlobalWindowManager::GlobalWindowManager(PrefMan* preferences)
    : preferences(preferences), positions(kDefaultChunkSize, true, false) {
    registerHandlers();
    loadPositions();
}

GlobalWindowManager::~GlobalWindowManager() {
    savePositions();
    gMessageCenter->removeMessageHandler(kUpdateWindowPositionMsg.code);
    gMessageCenter->removeMessageHandler(kGetWindowPositionMsg.code);
}

void GlobalWindowManager::registerHandlers() {
    gMessageCenter->registerMessageHandler(kUpdateWindowPositionMsg, updateWindowPositionMsg);
    gMessageCenter->registerMessageHandler(kGetWindowPositionMsg, getWindowPositionMsg);
}

void GlobalWindowManager::loadPositions() {
    long count = preferences->countPreferencesOfType(kWindowPositionRecord).valueOr(0);
    for (long i = 1; i <= count; ++i) {
        uint8_t record[kWindowPositionRecordSize];
        Result<long> length = preferences->readNthPreference(
            kWindowPositionRecord, i, reinterpret_cast<char*>(record), kWindowPositionRecordSize);
        // A damaged record is skipped; the others still load.
        if (length.valueOr(0) < kWindowPositionRecordSize) continue;
        Rect16 box = decodeWindowBox(record + 4);
        positions.include(new WindowPosition(getBigEndian32(record), &box, newPositionId()));
    }
}

void GlobalWindowManager::savePositions() {
    // One write of all the records: the old ones stay until the new ones are there.
    std::vector<uint8_t> bytes(size_t(positions.getCount() * kWindowPositionRecordSize));
    std::vector<PreferenceRecord> records;
    for (long i = 0; i < positions.getCount(); ++i) {
        auto* position = static_cast<const WindowPosition*>(positions.get(i));
        uint8_t* record = bytes.data() + i * kWindowPositionRecordSize;
        putBigEndian32(record, position->windowType);
        encodeWindowBox(position->box, record + 4);
        records.push_back({reinterpret_cast<const char*>(record), kWindowPositionRecordSize});
    }
    Status saved = preferences->replacePreferencesOfType(kWindowPositionRecord, records.data(),
                                                         long(records.size()));
    if (!saved.ok()) OKA_LOG("failed saving window positions: error %d", int(saved.code()));
}

void GlobalWindowManager::updateWindowPosition(TypeCode type, const Rect16* box, int32_t id) {
    auto* fresh = new WindowPosition(type, box, id);
    delete positions.remove(fresh);
    positions.include(fresh);
}

bool GlobalWindowManager::getWindowPosition(TypeCode type, Rect16* box, int32_t* id) {
    for (long i = positions.getCount() - 1; i >= 0; --i) {
        auto* position = static_cast<WindowPosition*>(positions.get(i));
        if (position->windowType != type || position->inUse) continue;
        position->inUse = 1;
        *box = position->box;
        *id = position->positionId;
        return true;
    }
    *box = Rect16{};
    *id = 0;
    return false;
}

int32_t GlobalWindowManager::updateWindowPositionMsg(Message* message, Message*) {
    if (message->getParamLength(1) < kWindowBoxSize) {
        OKA_LOG("window position refused: a box of %ld bytes", message->getParamLength(1));
        return kErrorBadParamType;
    }
    int32_t id = message->getLongParam(2);
    if (id == 0) id = gGlobalWindowManager->newPositionId();
    Rect16 box = decodeWindowBox(message->getParam(1));
    gGlobalWindowManager->updateWindowPosition(message->getTypeParam(0), &box, id);
    return 0;
}

int32_t GlobalWindowManager::getWindowPositionMsg(Message* message, Message* reply) {
    Rect16 box;
    int32_t id;
    bool found = gGlobalWindowManager->getWindowPosition(message->getTypeParam(0), &box, &id);
    if (!found) id = gGlobalWindowManager->newPositionId();
    uint8_t bytes[kWindowBoxSize];
    encodeWindowBox(box, bytes);
    reply->addBoolParam(found);
    reply->addParam(kParamData, bytes, kWindowBoxSize);
    reply->addLongParam(id);
    return 0;
}
