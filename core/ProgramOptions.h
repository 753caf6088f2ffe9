// The two options every program of the environment answers the same way:
// --help prints the program's usage text, --version prints "NAME VERSION"
// (for example "okamsg 0.1.0"), both on standard output.
#pragma once

// Looks for --help or --version among the arguments and answers the first
// one found; true when the program should now end with status 0. Either
// option counts wherever it stands, even where another option expects a value.
bool answerHelpOrVersion(int argc, char** argv, const char* program, const char* usage);
