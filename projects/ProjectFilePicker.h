// The Tool Manager's side of the file picker: the current project's files,
// offered by component type in a mode-0 picker, and the commands that ask
// for a project or a file with the picker.
#pragma once

#include "core/TypeCode.h"

class LBoxObj;

// Fills `list` with one row per file of the project of `type`, each row's
// client data a new copy (new[]) of the file's full path.
void populateProjectList(LBoxObj* list, TypeCode type);

// Gives the picker the project's files; called once at start-up.
void installProjectFileSource();

// New Project (create) and Open Project: lets the user pick a project file
// (filter "*.prj") and loads it, creating it first for a new project.
void chooseProject(bool create);

// Add File: a file chosen on the disk joins the project.
void addFileWithPicker();

// A command that needs a file was chosen with nothing selected: the user
// picks the file from the project or the disk, and a file picked on the
// disk joins the project. It is the selected component afterwards; nothing
// is selected when the user cancelled.
void chooseFileForCommand();
