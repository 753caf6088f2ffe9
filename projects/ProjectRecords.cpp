// Encoding and decoding of the project file's records.
#include "projects/ProjectRecords.h"

#include <cstring>

#include "core/ByteOrder.h"

namespace {
constexpr long kViewPatternOffset = 4;
constexpr long kViewWidthOffset = 260;
constexpr long kViewTypeOffset = 264;
constexpr long kViewTypeNameOffset = 268;

// Copies `text` into a zero-filled field of `size` bytes, keeping room for
// the terminator.
void putTextField(uint8_t* out, size_t size, const char* text) {
    std::memset(out, 0, size);
    copyText(reinterpret_cast<char*>(out), size, text ? text : "");
}

// A field's text, cut at the field's end when it has no terminator.
void getTextField(const uint8_t* in, size_t size, char* out, size_t outSize) {
    copyText(out, outSize, reinterpret_cast<const char*>(in), size);
}
}  // namespace

void encodeFileRecord(const char* path, uint8_t* out) {
    putTextField(out, kFileRecordSize, path);
}

void decodeFileRecord(const uint8_t* in, long length, char* path, size_t pathSize) {
    getTextField(in, size_t(length < 0 ? 0 : length), path, pathSize);
}

void encodeEngineRecord(const char* machine, int32_t port, uint8_t* out) {
    putTextField(out, kMachineFieldSize, machine);
    putBigEndian32(out + kMachineFieldSize, uint32_t(port));
}

bool decodeEngineRecord(const uint8_t* in, long length, EngineRecord& record) {
    if (length < kEngineRecordSize) return false;
    getTextField(in, kMachineFieldSize, record.machine, sizeof record.machine);
    record.port = int32_t(getBigEndian32(in + kMachineFieldSize));
    return true;
}

void encodeListWidthRecord(int16_t width, uint8_t* out) {
    putBigEndian16(out, uint16_t(width));
}

bool decodeListWidthRecord(const uint8_t* in, long length, int16_t& width) {
    if (length < kListWidthRecordSize) return false;
    width = int16_t(getBigEndian16(in));
    return true;
}

void encodeViewRecord(const ViewRecord& record, uint8_t* out) {
    std::memset(out, 0, kViewRecordSize);
    putBigEndian32(out, uint32_t(record.filterMode));
    putTextField(out + kViewPatternOffset, kPathSize, record.pattern);
    putBigEndian16(out + kViewWidthOffset, uint16_t(record.listWidth));
    putBigEndian32(out + kViewTypeOffset, record.filterType);
    putTextField(out + kViewTypeNameOffset, kPathSize, record.filterTypeName);
}

bool decodeViewRecord(const uint8_t* in, long length, ViewRecord& record) {
    if (length < kViewRecordSize) return false;
    record.filterMode = int32_t(getBigEndian32(in));
    getTextField(in + kViewPatternOffset, kPathSize, record.pattern, sizeof record.pattern);
    record.listWidth = int16_t(getBigEndian16(in + kViewWidthOffset));
    record.filterType = getBigEndian32(in + kViewTypeOffset);
    getTextField(in + kViewTypeNameOffset, kPathSize, record.filterTypeName,
                 sizeof record.filterTypeName);
    return true;
}
