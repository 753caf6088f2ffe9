// Drives every reading and writing path of Database and PrefMan over one file and tells
// what the storage library did that it must not (overruns are the sanitizers' to find).
#pragma once

#include <string>
#include <vector>

struct ExerciseOutcome {
    bool sound = false;    // the check found nothing wrong with the file
    bool refused = false;  // PrefMan kept the file closed
    // An undocumented code, a read or refused file that changed the file, a
    // sound file that reads as damaged or that the edits left unsound.
    std::vector<std::string> faults;
};

// Checks, reads every block and field read-only, then opens the file as
// preferences and adds, rewrites and deletes records. The file is changed.
ExerciseOutcome exerciseDatabaseFile(const char* path);
