// PrefMan: opening with its alerts, and the record operations.
#include "storage/PrefMan.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "core/ByteOrder.h"

#include "core/AlertHook.h"
#include "core/Log.h"
#include "storage/DatabaseCheck.h"

namespace {
constexpr const char* kLogSource = "../prefman";
constexpr long kOverwriteButton = 2;
// Longest alert text: its sentence with a description and a path of kPathSize.
constexpr size_t kAlertTextSize = 2 * kPathSize + 128;
}  // namespace

PrefMan::PrefMan(TypeCode type) : fileType(type), version(kPreferencesVersion) {
    char directory[kPathSize];
    // A missing directory shows up as the open's "File error" below.
    (void)getValidPreferencesDirectory(directory, sizeof directory);
    formatPath(path, sizeof path, "%s%s.prf", directory, gToolName);
    copyText(description, sizeof description, "preferences");
    // The file is small and read whole at start anyway: a damaged record
    // is found now, while the user can still be asked, rather than by a
    // write at the end that fails.
    checkEveryRecord = true;
    (void)openPreferencesFile();  // the outcome stays in the last error
}

PrefMan::PrefMan(TypeCode type, short fileVersion, const char* filePath,
                 const char* fileDescription, bool openNow)
    : fileType(type), version(fileVersion) {
    copyText(path, sizeof path, filePath);
    copyText(description, sizeof description, fileDescription);
    if (openNow) (void)openPreferencesFile();  // the outcome stays in the last error
}

PrefMan::~PrefMan() {
    (void)PrefMan::closePreferencesFile();
}

Status PrefMan::openPreferencesFile() {
    Status status = openOrOverwrite();
    if (!status.ok()) {
        char text[kAlertTextSize];
        std::snprintf(text, sizeof text,
                      "An error occurred opening or creating the %s file %s (%d).", description,
                      path, int(status.code()));
        askUser(text, kAlertWarning, "File error", "Ok", nullptr, nullptr, 0, nullptr);
    }
    return remember(status);
}

Status PrefMan::openOrOverwrite() {
    Result<short> valid = validDBFile(path, fileType);
    Status status = valid.status();
    short fileVersion = valid.valueOr(0);
    if (status.code() == kErrorFileMissing) {
        status = createDBFile(path, fileType, version);
        fileVersion = version;
    }
    if (status.ok()) status = reconcileVersion(fileVersion);
    if (status.ok() && checkEveryRecord) status = checkRecords();
    if (status.ok()) status = openDBFile(path, kModeReadWrite, false);

    int32_t code = status.code();
    if (code == kErrorWrongFileType || code == kErrorVersionRejected || code == kErrorDamagedFile) {
        if (!userAgreesToOverwrite()) return kSuccess;
        status = createDBFile(path, fileType, version);
        if (status.ok()) status = openDBFile(path, kModeReadWrite, false);
    }
    return status;
}

Status PrefMan::checkRecords() const {
    std::vector<std::string> problems;
    if (checkDatabaseFile(path, &problems)) return kSuccess;
    for (const std::string& problem : problems) OKA_LOG("%s: %s", path, problem.c_str());
    return Status(kErrorDamagedFile);
}

// Asked when the file is of another type or version, or damaged: only
// "Overwrite" lets a fresh file replace it (and be opened); any other answer
// leaves the manager closed, with no error.
bool PrefMan::userAgreesToOverwrite() {
    char text[kAlertTextSize];
    std::snprintf(text, sizeof text,
                  "The %s file %s was invalid. Would you like to overwrite the exisiting file?",
                  description, path);
    long answer =
        askUser(text, kAlertQuestion, "Invalid file", "Cancel", "Overwrite", nullptr, 0, nullptr);
    if (answer == kOverwriteButton) return true;
    OKA_LOG("kept the invalid %s file %s", description, path);
    return false;
}

Status PrefMan::closePreferencesFile() {
    return remember(closeDBFile());
}

void PrefMan::setPath(const char* newPath) {
    if (isOpen()) (void)closePreferencesFile();  // its outcome stays in the last error
    copyText(path, sizeof path, newPath);
}

Status PrefMan::reconcileVersion(short fileVersion) {
    return fileVersion == version ? kSuccess : Status(kErrorVersionRejected);
}

Result<long> PrefMan::findRecordBlock(TypeCode type) {
    if (!isOpen()) return Status(kErrorNoPreferencesFile);
    return getNthBlockOfType(type, 1);
}

Status PrefMan::addPreference(TypeCode type, const char* data, long length) {
    return remember(addRecord(type, data, length));
}

Status PrefMan::addRecord(TypeCode type, const char* data, long length) {
    Result<long> index = findRecordBlock(type);
    if (index.ok()) return addFieldToBlock(index.value(), data, length);
    if (index.code() != kErrorNoBlockOfType) return index.status();
    // First record of the type: the block is written whole, count and
    // record, before its entry makes it part of the file. It gets room for
    // twice the record, so the next records of this size are added in place.
    if (length < 0 || length > INT32_MAX / 4) return Status(kErrorBadArgument);
    PreferenceRecord record{data, length};
    std::vector<char> block = fieldBlock(&record, 1);
    long capacity = std::max(2 * length, long(block.size()));
    return addBlock(type, block.data(), long(block.size()), capacity - long(block.size())).status();
}

Result<long> PrefMan::countPreferencesOfType(TypeCode type) {
    Result<long> index = findRecordBlock(type);
    return index.ok() ? countFieldsInBlock(index.value()) : index;
}

Result<long> PrefMan::readNthPreference(TypeCode type, long n, char* buffer, long maxLength) {
    Result<long> index = findRecordBlock(type);
    return index.ok() ? getFieldIntoBuffer(index.value(), n, buffer, maxLength) : index;
}

Status PrefMan::writeNthPreference(TypeCode type, long n, const char* data, long length) {
    Result<long> index = findRecordBlock(type);
    if (index.code() == kErrorNoBlockOfType) return remember(addRecord(type, data, length));
    Result<long> count = index.ok() ? countFieldsInBlock(index.value()) : index;
    if (!count.ok()) return remember(count.status());
    return remember(n == count.value() + 1 ? addFieldToBlock(index.value(), data, length)
                                           : setFieldOfBlock(index.value(), n, data, length));
}

Status PrefMan::deleteNthPreference(TypeCode type, long n) {
    Result<long> index = findRecordBlock(type);
    return remember(index.ok() ? deleteFieldFromBlock(index.value(), n) : index.status());
}

Status PrefMan::deletePreferencesOfType(TypeCode type) {
    Result<long> index = findRecordBlock(type);
    if (index.code() == kErrorNoBlockOfType) return remember(kSuccess);
    return remember(index.ok() ? initBlockForFields(index.value()) : index.status());
}

// The field block of `count` records: the count, then each length and its
// bytes. Empty when a length is out of range.
std::vector<char> PrefMan::fieldBlock(const PreferenceRecord* records, long count) {
    long total = dbformat::kFieldWordSize;
    for (long n = 0; n < count; ++n) {
        if (records[n].length < 0 || records[n].length > INT32_MAX / 2 - total) return {};
        total += dbformat::kFieldWordSize + records[n].length;
    }
    std::vector<char> block(static_cast<size_t>(total));
    auto* bytes = reinterpret_cast<uint8_t*>(block.data());
    putBigEndian32(bytes, uint32_t(count));
    long offset = dbformat::kFieldWordSize;
    for (long n = 0; n < count; ++n) {
        putBigEndian32(bytes + offset, uint32_t(records[n].length));
        offset += dbformat::kFieldWordSize;
        if (records[n].length > 0)
            std::memcpy(block.data() + offset, records[n].data, size_t(records[n].length));
        offset += records[n].length;
    }
    return block;
}

// One write of the type's block: the new records go to free space and the
// block's entry switches to them at once, so readers see all the old
// records or all the new ones.
Status PrefMan::replacePreferencesOfType(TypeCode type, const PreferenceRecord* records,
                                         long count) {
    std::vector<char> block = fieldBlock(records, count);
    if (block.empty()) return remember(Status(kErrorBadArgument));
    long total = long(block.size());
    Result<long> index = findRecordBlock(type);
    if (index.ok()) return remember(writeDataToBlock(index.value(), block.data(), total));
    if (index.code() != kErrorNoBlockOfType) return remember(index.status());
    return remember(addBlock(type, block.data(), total, grownSlop(total)).status());
}

// A type without records is an empty walk.
Status PrefMan::visitPreferencesOfType(TypeCode type,
                                       const std::function<void(const char*, long)>& visit) {
    Result<long> index = findRecordBlock(type);
    if (index.code() == kErrorNoBlockOfType) return kSuccess;
    Result<long> length = index.ok() ? getBlockLength(index.value()) : index;
    if (!length.ok()) return length.status();
    // Not zeroed: the read fills it.
    long size = length.value();
    std::unique_ptr<char[]> block(new (std::nothrow) char[size_t(std::max(size, 1L))]);
    if (block == nullptr) return Status(kErrorOutOfMemory);
    if (Status status = readDataFromBlock(index.value(), block.get(), size, false); !status.ok())
        return status;
    Result<long> count = readFieldCount(block.get(), size);
    if (!count.ok()) return count.status();
    long position = dbformat::kFieldWordSize;
    for (long n = 0; n < count.value(); ++n) {
        long offset = 0;
        long fieldLength = 0;
        Status status = stepOverField(block.get(), size, &position, &offset, &fieldLength);
        if (!status.ok()) return status;
        visit(block.get() + offset, fieldLength);
    }
    return kSuccess;
}

Result<std::vector<std::string>> PrefMan::readPreferencesOfType(TypeCode type) {
    std::vector<std::string> records;
    Status status = visitPreferencesOfType(
        type, [&](const char* data, long length) { records.emplace_back(data, size_t(length)); });
    if (!status.ok()) return status;
    return records;
}
