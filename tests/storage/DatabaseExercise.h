// Drives every reading and writing path of Database and PrefMan over one
// file, for the tests that feed damaged files and for the fuzz target, and
// tells what the file made the storage library do that it must not. Reads
// and writes outside a buffer are left to the sanitizers.
#pragma once

#include <string>
#include <vector>

struct ExerciseOutcome {
    bool sound = false;    // the check found nothing wrong with the file
    bool refused = false;  // PrefMan kept the file closed
    // Each thing that went wrong: an operation ending with a code that is
    // neither 0 nor one the storage library documents, a read or a refused
    // file that changed the file, a file the check calls sound that reading
    // finds damaged, or a sound file that the edits left unsound.
    std::vector<std::string> faults;
};

// Checks, reads every block and field read-only, then opens the file as
// preferences and adds, rewrites and deletes records. The file is changed.
ExerciseOutcome exerciseDatabaseFile(const char* path);
