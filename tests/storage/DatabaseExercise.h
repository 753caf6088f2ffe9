// Drives every reading and writing path of Database and PrefMan over one
// file, for the tests that feed damaged files and for the fuzz target. It
// asserts nothing: a damaged file must only produce error codes, and the
// sanitizers catch any read or write outside a buffer.
#pragma once

// Checks, reads every block and field read-only, then opens the file as
// preferences and adds, rewrites and deletes records. The file is changed.
void exerciseDatabaseFile(const char* path);
