// PrefMan: a store of typed records over a block database file, used for the
// Tool Manager's preferences file and, through the project manager, for
// project files. The records of type T are the fields of the first block of
// type T, record k being field k; their bytes are opaque (text is stored with
// its terminating NUL).
//
// Opening validates the file's type and data version (the preferences file:
// every record); an invalid file is overwritten only when the user agrees
// in the "Invalid file" alert, and is otherwise left closed and untouched. Every
// operation returns its outcome: kErrorNoPreferencesFile when no file is open,
// or a Database code. Opening, closing and every change also leave it in the
// last error; reads leave the last error alone.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/HasErrorReporting.h"
#include "core/TypeCode.h"
#include "core/Utilities.h"
#include "storage/Database.h"

inline constexpr int32_t kErrorVersionRejected = -801;     // reconcileVersion refused the file
inline constexpr int32_t kErrorNoPreferencesFile = -1801;  // no file is open

// One record handed to replacePreferencesOfType: `length` bytes at `data`.
struct PreferenceRecord {
    const char* data;
    long length;
};

inline constexpr TypeCode kPreferencesFileType = typeCode("TPRF");
inline constexpr short kPreferencesVersion = 2;

class PrefMan : public Database, public HasErrorReporting {
  public:
    // The running tool's preferences: "<preferences directory><tool name>.prf",
    // version 2, described as "preferences"; opens at once.
    explicit PrefMan(TypeCode fileType);
    // Any file; opens at once only when `openNow` is set.
    PrefMan(TypeCode fileType, short version, const char* path, const char* description,
            bool openNow);
    ~PrefMan() override;

    // Validates, creates or (with consent) overwrites, then opens read-write.
    // A file the user chose to keep leaves the manager closed, with success.
    virtual Status openPreferencesFile();
    virtual Status closePreferencesFile();
    // Success when the file's data version is acceptable, else
    // kErrorVersionRejected. The default accepts only this manager's own version.
    virtual Status reconcileVersion(short fileVersion);

    const char* getPath() const { return path; }
    // Points the manager at another file (the project manager switching
    // projects); the open file, if any, is closed first.
    void setPath(const char* newPath);

    Status addPreference(TypeCode type, const char* data, long length);
    // kErrorNoBlockOfType when the type never had a record.
    Result<long> countPreferencesOfType(TypeCode type);
    // Copies at most maxLength bytes of record n (no terminator is added);
    // the count copied comes back.
    Result<long> readNthPreference(TypeCode type, long n, char* buffer, long maxLength);
    // Replaces record n, or appends when n is one past the last record.
    Status writeNthPreference(TypeCode type, long n, const char* data, long length);
    // Later records move down by one.
    Status deleteNthPreference(TypeCode type, long n);
    // Empties the type; its block stays for the type's later records.
    Status deletePreferencesOfType(TypeCode type);
    // Replaces every record of `type` by `records`, in order, with one write
    // of the type's block instead of one write per record: readers see all
    // the old records or all the new ones. A block that outgrows its space
    // gets slop in proportion to its length, so a growing type moves ever
    // more rarely.
    Status replacePreferencesOfType(TypeCode type, const PreferenceRecord* records, long count);
    // Every record of `type`, in order, from one read of the type's block;
    // none when the type has no records. A block whose fields overrun it is
    // reported as kErrorDamagedFile.
    Result<std::vector<std::string>> readPreferencesOfType(TypeCode type);
    // The same walk handing each record to `visit` (its bytes live for the
    // call only) instead of copying them all; a damaged block stops the
    // walk after the records before the damage.
    Status visitPreferencesOfType(TypeCode type,
                                  const std::function<void(const char*, long)>& visit);

  private:
    static std::vector<char> fieldBlock(const PreferenceRecord* records, long count);
    // The block that holds the records of `type`.
    Result<long> findRecordBlock(TypeCode type);
    Status openOrOverwrite();
    Status addRecord(TypeCode type, const char* data, long length);
    bool userAgreesToOverwrite();
    // kErrorDamagedFile when any entry or record of the file is unsound.
    Status checkRecords() const;

    char path[kPathSize];           // full path of the file
    char description[kPathSize];    // "preferences", "project": named in alerts
    TypeCode fileType;              // written into new files, compared with existing ones
    short version;                  // the data version this kind of file must have
    bool checkEveryRecord = false;  // every record is checked before the file opens
};
