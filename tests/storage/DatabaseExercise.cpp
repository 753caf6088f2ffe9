#include "DatabaseExercise.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "storage/DatabaseCheck.h"
#include "storage/PrefMan.h"

namespace {

// A damaged count may claim millions of fields; a few show the walk works.
constexpr long kFieldsPerBlock = 40;

void readEverything(const char* path) {
    Database database;
    if (database.openDBFile(path, kModeReadOnly, false) != 0) return;
    for (long k = 1; k <= database.getMPEntries(); ++k) {
        long length = 0;
        if (database.getBlockLength(k, &length) != 0) continue;
        std::vector<char> data(size_t(length) + 1);
        database.readDataFromBlock(k, data.data(), true);
        long count = 0;
        if (database.countFieldsInBlock(k, &count) != 0) continue;
        for (long f = 0; f <= std::min(count, kFieldsPerBlock) + 1; ++f) {
            char* field = nullptr;
            long fieldLength = 0;
            database.getField(k, f, &field, &fieldLength);
            delete[] field;
            long value = 0;
            database.getLongFromBlock(k, f, &value);
            char small[8];
            database.getFieldIntoBuffer(k, f, small, &fieldLength, sizeof small);
        }
    }
}

void editAsPreferences(const char* path) {
    PrefMan prefs(kPreferencesFileType, kPreferencesVersion, path, "preferences", true);
    if (!prefs.isOpen()) return;
    const std::string text(300, 'r');
    for (TypeCode type : {typeCode("HTPT"), typeCode("WPOS"), typeCode("CPRJ"), typeCode("FREE")}) {
        long count = std::min(prefs.countPreferencesOfType(type), kFieldsPerBlock);
        char buffer[64];
        for (long n = 1; n <= count; ++n) prefs.readNthPreference(type, n, buffer, sizeof buffer);
        prefs.addPreference(type, text.c_str(), 12);
        prefs.writeNthPreference(type, 1, text.c_str(), long(text.size()));
        prefs.deleteNthPreference(type, 2);
        prefs.deletePreferencesOfType(type);
        prefs.addPreference(type, text.c_str(), 40);
    }
    long index = 0;
    if (prefs.addBlock(typeCode("BLOB"), 16, 0, &index) == 0) {
        prefs.writeDataToBlock(index, text.c_str(), long(text.size()));
        prefs.deleteBlock(index);
    }
}

}  // namespace

void exerciseDatabaseFile(const char* path) {
    std::vector<std::string> problems;
    checkDatabaseFile(path, &problems);
    readEverything(path);
    editAsPreferences(path);
}
