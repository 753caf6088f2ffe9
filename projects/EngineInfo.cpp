// EngineInfo: unique ids, equality and text forms of engine descriptors.
#include "projects/EngineInfo.h"

#include <cstdio>
#include <cstring>

#include "core/Log.h"
#include "core/Utilities.h"

namespace {
constexpr const char* kLogSource = "../engineinfo";

// Frees the old text and keeps a copy of the new one (or null).
void replaceText(char*& field, const char* text) {
    delete[] field;
    field = text ? newStringCopy(text) : nullptr;
}
}  // namespace

uint32_t EngineInfo::internalUniqueId = 1;

EngineInfo::EngineInfo(const char* machineName, int32_t enginePort, uint32_t id)
    : port(enginePort), uniqueId(id != 0 ? id : internalUniqueId++) {
    setMachine(machineName);
}

EngineInfo::~EngineInfo() {
    delete[] machine;
}

void EngineInfo::setMachine(const char* text) {
    replaceText(machine, text);
}

bool EngineInfo::isEqual(const Item* other) const {
    if (other == nullptr || other->getItemType() != kEngineType) return false;
    auto* engine = dynamic_cast<const EngineInfo*>(other);
    if (engine == nullptr) return false;
    if (engine->uniqueId == uniqueId) return true;
    if (engine->port != port) return false;
    if (machine == nullptr || engine->machine == nullptr) return machine == engine->machine;
    return std::strcmp(machine, engine->machine) == 0;
}

void EngineInfo::printToString(char* buffer, size_t size) const {
    if (buffer == nullptr) return;
    std::snprintf(buffer, size, "Machine: %s, port:%ld", machine ? machine : "", long(port));
}

void EngineInfo::printShortFormToString(char* buffer, size_t size) const {
    if (buffer == nullptr) return;
    std::snprintf(buffer, size, "%s, %ld", machine ? machine : "", long(port));
}

void EngineInfo::log(const char* prefix) const {
    char line[2 * kItemTextSize];
    int used = 0;
    if (prefix != nullptr && machine != nullptr)
        used = std::snprintf(line, sizeof line, "%s ", prefix);
    used += std::snprintf(line + used, sizeof line - size_t(used), "EngineInfo: <");
    if (machine != nullptr && size_t(used) < sizeof line)
        used += std::snprintf(line + used, sizeof line - size_t(used), "%s ", machine);
    if (size_t(used) < sizeof line)
        std::snprintf(line + used, sizeof line - size_t(used), "%ld uniqueId %lu connected %d",
                      long(port), static_cast<unsigned long>(uniqueId), int(connected));
    OKA_LOG("%s", line);
}

uint8_t EngineInfo::connect() {
    connected = 1;
    return connected;
}

void EngineInfo::disconnect() {
    connected = 0;
}
