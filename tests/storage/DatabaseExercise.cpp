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

// The outcomes are ignored throughout: on a damaged file any operation may
// fail, and what is checked is that none crashes, hangs or overruns.
void readEverything(const char* path) {
    Database database;
    if (!database.openDBFile(path, kModeReadOnly, false).ok()) return;
    for (long k = 1; k <= database.getMPEntries(); ++k) {
        Result<long> length = database.getBlockLength(k);
        if (!length.ok()) continue;
        std::vector<char> data(size_t(length.value()) + 1);
        (void)database.readDataFromBlock(k, data.data(), long(data.size()), true);
        Result<long> count = database.countFieldsInBlock(k);
        if (!count.ok()) continue;
        for (long f = 0; f <= std::min(count.value(), kFieldsPerBlock) + 1; ++f) {
            (void)database.getField(k, f);
            (void)database.getLongFromBlock(k, f);
            char small[8];
            (void)database.getFieldIntoBuffer(k, f, small, sizeof small);
        }
    }
}

void editAsPreferences(const char* path) {
    PrefMan prefs(kPreferencesFileType, kPreferencesVersion, path, "preferences", true);
    if (!prefs.isOpen()) return;
    const std::string text(300, 'r');
    for (TypeCode type : {typeCode("HTPT"), typeCode("WPOS"), typeCode("CPRJ"), typeCode("FREE")}) {
        long count = std::min(prefs.countPreferencesOfType(type).valueOr(0), kFieldsPerBlock);
        char buffer[64];
        for (long n = 1; n <= count; ++n)
            (void)prefs.readNthPreference(type, n, buffer, sizeof buffer);
        (void)prefs.addPreference(type, text.c_str(), 12);
        (void)prefs.writeNthPreference(type, 1, text.c_str(), long(text.size()));
        (void)prefs.deleteNthPreference(type, 2);
        (void)prefs.deletePreferencesOfType(type);
        (void)prefs.addPreference(type, text.c_str(), 40);
    }
    if (Result<long> index = prefs.addBlock(typeCode("BLOB"), 16, 0); index.ok()) {
        (void)prefs.writeDataToBlock(index.value(), text.c_str(), long(text.size()));
        (void)prefs.deleteBlock(index.value());
    }
}

}  // namespace

void exerciseDatabaseFile(const char* path) {
    std::vector<std::string> problems;
    checkDatabaseFile(path, &problems);
    readEverything(path);
    editAsPreferences(path);
}
