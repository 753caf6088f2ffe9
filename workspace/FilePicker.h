// The file picker: the one modal window through which every program of the
// environment asks the user for a file or a directory. It browses the disk
// (a directory list with icons, a file-name filter and a recursive Find)
// and, when the caller allows it and a project side is installed, the
// current project's files by component type. Its starting directory is kept
// by the Tool Manager ('GCFP' when a picker opens, 'SCFP' when it closes), so
// every picker of the environment starts where the last one ended.
//
// Tools get the disk picker by linking the environment library; the project
// mode is offered through ProjectFileSource, which only the Tool Manager
// installs. Without a source a project picker shows an empty project list.
//
// One picker at a time. Without a user (the headless backend) it answers
// cancelled unless a test scripts its modal loop (toolkit/automation/Automation.h).
#pragma once

#include <cstddef>

#include "core/TypeCode.h"

class CBoxObj;
class LBoxObj;
class WinObj;

// What the picker shows in project mode; the Tool Manager fills it from
// its project.
class ProjectFileSource {
  public:
    virtual ~ProjectFileSource() = default;
    // Fills the type box with the project's component types, preselecting
    // the type chosen last.
    virtual void buildTypePopUp(CBoxObj* typeBox) = 0;
    // The component type of the type box's chosen element (its first
    // element when none is chosen); 0 when the box is empty.
    virtual TypeCode chosenType(CBoxObj* typeBox) = 0;
    // The user chose `type` in the type box: the next picker starts on it.
    virtual void typeChosen(TypeCode type) = 0;
    // Fills `list` with one row per project file of `type`; each row's
    // client data is a new copy (new[]) of the file's full path, which the
    // picker frees with the row.
    virtual void populateProjectList(LBoxObj* list, TypeCode type) = 0;
};

// The project side, or null (tools). Not owned.
void setProjectFileSource(ProjectFileSource* source);

// The open picker window, or null.
extern WinObj* gFilePickerWindow;

// chooseFile modes.
inline constexpr int kPickerBoth = 0;     // disk and project, with the radio buttons
inline constexpr int kPickerDisk = 1;     // the disk only
inline constexpr int kPickerProject = 2;  // the project only (any other value too)

// Runs the picker for a file. True when a path was chosen: it is in
// `result` of `resultSize` bytes (emptied first; a longer path is refused
// like a bad one). False on Cancel, or at once
// (with a beep, the open picker brought to the front) when a picker is
// already open. `prompt` becomes the title; `acceptText` is the caller's
// wording and is not shown; `filterList` is a pattern list ("*.prj;*.qa"),
// "*" when null or empty.
bool chooseFile(int mode, char* result, size_t resultSize, const char* prompt,
                const char* acceptText, const char* filterList, bool mustExist,
                bool confirmReplace);
// Runs the picker for a directory; false at once, without a beep, when a
// picker is already open.
bool chooseDirectory(char* result, size_t resultSize, const char* prompt, const char* unusedText,
                     const char* filterList, bool mustExist);

// Asks for a file in disk mode with the prompt "Choose file": the picker
// behind makeFullPath (messaging/FullPath.h), installed by initializeGlobals.
bool chooseFileForFullPath(const char* partialPath, char* result, size_t resultSize);

// The directory procedures given to FMGR_PerfDirFiles: filling the disk
// list (`listBox` is the LBoxObj) and searching for Find (`result` is the
// picker's search state).
int fileFilterProc(const char* directory, const char* name, void* listBox);
int searchDirectoryFilterProc(const char* directory, const char* name, void* result);
