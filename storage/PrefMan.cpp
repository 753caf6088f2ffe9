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
    openPreferencesFile();
}

PrefMan::PrefMan(TypeCode type, short fileVersion, const char* filePath,
                 const char* fileDescription, bool openNow)
    : fileType(type), version(fileVersion) {
    copyText(path, sizeof path, filePath);
    copyText(description, sizeof description, fileDescription);
    if (openNow) openPreferencesFile();
}

PrefMan::~PrefMan() { PrefMan::closePreferencesFile(); }

void PrefMan::openPreferencesFile() {
    short fileVersion = 0;
    long result = validDBFile(path, fileType, &fileVersion);
    if (result == kErrorFileMissing) {
        result = createDBFile(path, fileType, version);
        fileVersion = version;
    }
    if (result == 0) result = reconcileVersion(fileVersion);
    if (result == 0 && checkEveryRecord) result = checkRecords();
    if (result == 0) result = openDBFile(path, kModeReadWrite, false);

    if (result == kErrorWrongFileType || result == kErrorVersionRejected ||
        result == kErrorDamagedFile) {
        if (!userAgreesToOverwrite()) {
            lastError = 0;
            return;
        }
        result = createDBFile(path, fileType, version);
        if (result == 0) result = openDBFile(path, kModeReadWrite, false);
    }
    lastError = int32_t(result);
    if (result != 0) {
        char text[kAlertTextSize];
        std::snprintf(text, sizeof text,
                      "An error occurred opening or creating the %s file %s (%d).", description,
                      path, int(result));
        askUser(text, kAlertWarning, "File error", "Ok", nullptr, nullptr, 0, nullptr);
    }
}

long PrefMan::checkRecords() const {
    std::vector<std::string> problems;
    if (checkDatabaseFile(path, &problems)) return 0;
    for (const std::string& problem : problems) OKA_LOG("%s: %s", path, problem.c_str());
    return kErrorDamagedFile;
}

// Asked when the file is of another type or version, or damaged: only
// "Overwrite" lets a fresh file replace it (and be opened); any other answer
// leaves the manager closed, with no error.
bool PrefMan::userAgreesToOverwrite() {
    char text[kAlertTextSize];
    std::snprintf(text, sizeof text,
                  "The %s file %s was invalid. Would you like to overwrite the exisiting file?",
                  description, path);
    long answer = askUser(text, kAlertQuestion, "Invalid file", "Cancel", "Overwrite",
                                     nullptr, 0, nullptr);
    if (answer == kOverwriteButton) return true;
    OKA_LOG("kept the invalid %s file %s", description, path);
    return false;
}

void PrefMan::closePreferencesFile() { closeDBFile(); }

void PrefMan::setPath(const char* newPath) {
    if (isOpen()) closePreferencesFile();
    copyText(path, sizeof path, newPath);
}

long PrefMan::reconcileVersion(short fileVersion) {
    return fileVersion == version ? 0 : kErrorVersionRejected;
}

// The block that holds the records of `type`.
long PrefMan::findRecordBlock(TypeCode type, long* index) {
    if (!isOpen()) return kErrorNoPreferencesFile;
    return getNthBlockOfType(type, 1, index);
}

void PrefMan::addPreference(TypeCode type, const char* data, long length) {
    long index = 0;
    long result = findRecordBlock(type, &index);
    if (result == kErrorNoBlockOfType) {
        // First record of the type: the block is written whole, count and
        // record, before its entry makes it part of the file. It gets room
        // for twice the record, so the next records of this size are added
        // in place.
        if (length < 0 || length > INT32_MAX / 4) {
            lastError = int32_t(kErrorBadArgument);
            return;
        }
        PreferenceRecord record{data, length};
        std::vector<char> block = fieldBlock(&record, 1);
        long capacity = std::max(2 * length, long(block.size()));
        result = addBlock(type, block.data(), long(block.size()), capacity - long(block.size()),
                          &index);
        lastError = int32_t(result);
        return;
    }
    if (result == 0) result = addFieldToBlock(index, data, length);
    lastError = int32_t(result);
}

long PrefMan::countPreferencesOfType(TypeCode type) {
    long index = 0;
    long count = 0;
    long result = findRecordBlock(type, &index);
    if (result == 0) result = countFieldsInBlock(index, &count);
    lastError = int32_t(result);
    return result == 0 ? count : 0;
}

long PrefMan::readNthPreference(TypeCode type, long n, char* buffer, long maxLength) {
    long index = 0;
    long copied = 0;
    long result = findRecordBlock(type, &index);
    if (result == 0) result = getFieldIntoBuffer(index, n, buffer, &copied, maxLength);
    lastError = int32_t(result);
    return result == 0 ? copied : 0;
}

void PrefMan::writeNthPreference(TypeCode type, long n, const char* data, long length) {
    long index = 0;
    long result = findRecordBlock(type, &index);
    if (result == kErrorNoBlockOfType) {
        addPreference(type, data, length);
        return;
    }
    long count = 0;
    if (result == 0) result = countFieldsInBlock(index, &count);
    if (result == 0) {
        result = n == count + 1 ? addFieldToBlock(index, data, length)
                                : setFieldOfBlock(index, n, data, length);
    }
    lastError = int32_t(result);
}

void PrefMan::deleteNthPreference(TypeCode type, long n) {
    long index = 0;
    long result = findRecordBlock(type, &index);
    if (result == 0) result = deleteFieldFromBlock(index, n);
    lastError = int32_t(result);
}

void PrefMan::deletePreferencesOfType(TypeCode type) {
    long index = 0;
    long result = findRecordBlock(type, &index);
    if (result == 0) result = initBlockForFields(index);
    lastError = int32_t(result == kErrorNoBlockOfType ? 0 : result);
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
void PrefMan::replacePreferencesOfType(TypeCode type, const PreferenceRecord* records,
                                       long count) {
    std::vector<char> block = fieldBlock(records, count);
    if (block.empty()) {
        lastError = int32_t(kErrorBadArgument);
        return;
    }
    long total = long(block.size());
    long index = 0;
    long result = findRecordBlock(type, &index);
    if (result == 0) result = writeDataToBlock(index, block.data(), total);
    else if (result == kErrorNoBlockOfType) result = addBlock(type, block.data(), total, grownSlop(total), &index);
    lastError = int32_t(result);
}

void PrefMan::visitPreferencesOfType(TypeCode type,
                                     const std::function<void(const char*, long)>& visit) {
    long index = 0;
    long length = 0;
    long result = findRecordBlock(type, &index);
    if (result == 0) result = getBlockLength(index, &length);
    // Not zeroed: the read fills it.
    std::unique_ptr<char[]> block(new (std::nothrow) char[size_t(std::max(length, 1L))]);
    if (result == 0 && block == nullptr) result = kErrorOutOfMemory;
    if (result == 0) result = readDataFromBlock(index, block.get(), false);
    long count = 0;
    if (result == 0) result = readFieldCount(block.get(), length, &count);
    long position = dbformat::kFieldWordSize;
    for (long n = 0; n < count && result == 0; ++n) {
        long offset = 0;
        long fieldLength = 0;
        result = stepOverField(block.get(), length, &position, &offset, &fieldLength);
        if (result == 0) visit(block.get() + offset, fieldLength);
    }
    lastError = int32_t(result == kErrorNoBlockOfType ? 0 : result);
}

void PrefMan::readPreferencesOfType(TypeCode type, std::vector<std::string>& records) {
    records.clear();
    visitPreferencesOfType(
        type, [&](const char* data, long length) { records.emplace_back(data, size_t(length)); });
    if (lastError != 0) records.clear();
}
