// The program settings as the settings dialog edits them: the fields it shows, the
// check its OK runs, the copy back into the profile's settings, and the rules that tie
// its controls together. Free of windows, so the rules are tested on their own.
#pragma once

#include <functional>
#include <string>

#include "core/Settings.h"

// Answers whether a file (not a folder) exists; the dialog passes the real test.
using FileTest = std::function<bool(const std::wstring& path)>;

// The dialog's controls, as texts and ticks.
struct ProgramSettingsFields {
    std::wstring PEBuilder;          // EE01
    std::wstring PluginBuilder;      // EE02
    std::wstring TextEditor;         // EE03
    bool PEB_WAIT = false;           // CHB01
    bool PLB_WAIT = false;           // CHB02
    bool TE_WAIT = false;            // CHB03
    bool UseExtProgram_ISO = false;  // CHB06
    bool UseExtProgram_BLD = false;  // CHB07
    int PEB_VER = 0;                 // CB01's item index
    std::wstring BuildParams;        // ED01
    std::wstring ISOParams;          // ED02
    std::wstring ExternalProgram;    // Memo1
};

// A stored version above 3 shows as the last item, as every reader counts it.
ProgramSettingsFields FieldsFromSettings(const TCurrentSettings& settings);

// The OK check. The three paths lose their surrounding blanks and the two folders one
// trailing backslash, so that the folder checked is the folder saved. False when the
// PE Builder folder is empty or holds no pebuilder.exe. Otherwise a Plugin Builder
// folder without Plugin_Builder.exe and a text editor that names no file are emptied.
bool CheckProgramSettings(ProgramSettingsFields& fields, const FileTest& fileExists);

// Copies the fields into the settings (paths trimmed, texts as typed).
void ApplyProgramSettings(const ProgramSettingsFields& fields, TCurrentSettings& settings);

// The parameters that PE Builder 3.0.33 and later need to run unattended; choosing
// such a version puts them in place of what was typed.
inline const std::wstring kUnattendedBuildParams = L"-auto -exit -overwrite";
inline const std::wstring kUnattendedIsoParams = L"-auto -exit";

// What the external-program boxes decide: an external ISO program reads PE Builder's
// log, so PE Builder must be waited for; the template page matters only then.
struct ExternalProgramState {
    bool waitEnabled;
    bool waitChecked;
    bool pageShown;
};
ExternalProgramState ExternalProgramStateOf(bool useForIso, bool useForBuild, bool waitChecked);

// The folder the editor's file dialog opens in for the path typed: its folder part,
// with a drive's root kept as the root ("C:\\ed.exe" opens "C:\\", not the drive's
// current folder "C:").
std::wstring EditorDialogFolder(const std::wstring& path);

// "text|pattern|text|pattern" as the file dialog takes it: each part ended by a zero
// character and the whole by one more.
std::wstring FileDialogFilter(const std::wstring& filter);
