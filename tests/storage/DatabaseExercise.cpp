#include "DatabaseExercise.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>

#include "storage/DatabaseCheck.h"
#include "storage/PrefMan.h"

namespace {

// A damaged count may claim millions of fields; a few show the walk works.
constexpr long kFieldsPerBlock = 40;

std::string contentOf(const char* path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The error codes the storage library documents.
const int32_t kDocumented[] = {kErrorBlockDeleted,     kErrorFieldRange,    kErrorNoBlockOfType,
                               kErrorFileInUse,        kErrorWrongFileType, kErrorDamagedFile,
                               kErrorBadArgument,      kErrorOutOfMemory,   kErrorVersionRejected,
                               kErrorNoPreferencesFile};

// Notes each operation's code: damage seen where the check would see it
// too, or a fault when the code is undocumented.
struct Codes {
    void expect(Status status, const char* operation) {
        const int32_t code = status.code();
        damageSeen = damageSeen || (checked && code == kErrorDamagedFile);
        if (code != 0 && std::find(std::begin(kDocumented), std::end(kDocumented), code) ==
                             std::end(kDocumented))
            outcome.faults.push_back(std::string(operation) + " gave " + std::to_string(code));
    }
    // The result's value, or `fallback` when it failed.
    template <typename T>
    T value(const Result<T>& result, const char* operation, T fallback) {
        expect(result.status(), operation);
        return result.valueOr(fallback);
    }
    ExerciseOutcome& outcome;
    bool damageSeen = false;
    // Off where no fields are kept (free records, later blocks of a type,
    // blocks too short for a count): only a type's first block holds fields.
    bool checked = true;
};

void readEverything(const char* path, Codes& codes) {
    Database database;
    Status opened = database.openDBFile(path, kModeReadOnly, false);
    codes.expect(opened, "openDBFile");
    if (!opened.ok()) return;
    std::set<TypeCode> typesSeen;
    for (long k = 1; k <= database.getMPEntries(); ++k) {
        const MasterPtrEntry entry = codes.value(database.getMPEntry(k), "getMPEntry", {});
        bool isBlock = entry.type != dbformat::kFreeType && entry.type != dbformat::kBlankType;
        bool firstOfType = isBlock && typesSeen.insert(entry.type).second;
        codes.checked = true;
        const long length = codes.value(database.getBlockLength(k), "getBlockLength", 0L);
        if (length <= 0) continue;
        std::vector<char> data(size_t(length) + 1);
        codes.expect(database.readDataFromBlock(k, data.data(), long(data.size()), true),
                     "readDataFromBlock");
        // A block too short for a count holds raw bytes.
        codes.checked = firstOfType && length >= 4;
        const long count = codes.value(database.countFieldsInBlock(k), "countFieldsInBlock", -1L);
        if (count < 0) continue;
        for (long f = 0; f <= std::min(count, kFieldsPerBlock) + 1; ++f) {
            codes.expect(database.getField(k, f).status(), "getField");
            codes.expect(database.getLongFromBlock(k, f).status(), "getLongFromBlock");
            char small[8];
            codes.expect(database.getFieldIntoBuffer(k, f, small, sizeof small).status(),
                         "getFieldIntoBuffer");
        }
    }
}

void editAsPreferences(const char* path, Codes& codes) {
    PrefMan prefs(kPreferencesFileType, kPreferencesVersion, path, "preferences", true);
    codes.outcome.refused = !prefs.isOpen();
    const std::string text(300, 'r');
    for (TypeCode type : {typeCode("HTPT"), typeCode("WPOS"), typeCode("CPRJ"), typeCode("FREE")}) {
        const long count =
            codes.value(prefs.countPreferencesOfType(type), "countPreferencesOfType", 0L);
        char buffer[64];
        for (long n = 1; n <= std::min(count, kFieldsPerBlock); ++n)
            codes.expect(prefs.readNthPreference(type, n, buffer, sizeof buffer).status(),
                         "readNthPreference");
        codes.expect(prefs.addPreference(type, text.c_str(), 12), "addPreference");
        codes.expect(prefs.writeNthPreference(type, 1, text.c_str(), long(text.size())),
                     "writeNthPreference");
        codes.expect(prefs.deleteNthPreference(type, 2), "deleteNthPreference");
        codes.expect(prefs.deletePreferencesOfType(type), "deletePreferencesOfType");
        codes.expect(prefs.addPreference(type, text.c_str(), 40), "addPreference");
    }
    if (Result<long> index = prefs.addBlock(typeCode("BLOB"), 16, 0); index.ok()) {
        codes.expect(prefs.writeDataToBlock(index.value(), text.c_str(), long(text.size())),
                     "writeDataToBlock");
        codes.expect(prefs.deleteBlock(index.value()), "deleteBlock");
    }
}

}  // namespace

ExerciseOutcome exerciseDatabaseFile(const char* path) {
    ExerciseOutcome outcome;
    std::vector<std::string> problems;
    outcome.sound = checkDatabaseFile(path, &problems);
    const std::string before = contentOf(path);
    Codes reading{outcome};
    readEverything(path, reading);
    if (contentOf(path) != before) outcome.faults.push_back("reading changed the file");
    if (outcome.sound && reading.damageSeen)
        outcome.faults.push_back("the check calls the file sound, reading finds it damaged");

    Codes editing{outcome};
    editAsPreferences(path, editing);
    if (outcome.refused && contentOf(path) != before)
        outcome.faults.push_back("a file kept closed was changed");
    if (outcome.sound && !checkDatabaseFile(path, &problems))
        outcome.faults.push_back("the edits left a sound file unsound: " + problems.back());
    return outcome;
}
