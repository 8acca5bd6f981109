// The names of the keys and values the program keeps in the settings store, spelled
// as they are stored, so that a writer and its readers cannot drift apart.
#pragma once

namespace RegName {

// Keys below the program key and below a profile's key.
inline constexpr const wchar_t* System = L"System";
inline constexpr const wchar_t* Profiles = L"Profiles";
inline constexpr const wchar_t* Transient = L"Transient";
inline constexpr const wchar_t* Preset = L"Preset";
inline constexpr const wchar_t* PresetSettings = L"PEBuilder";  // a preset's own PE Builder settings

// Program-wide values (key System).
inline constexpr const wchar_t* Profile = L"Profile";
inline constexpr const wchar_t* ShowProfileList = L"ShowProfileList";
inline constexpr const wchar_t* PluginBuilder = L"PluginBuilder";
inline constexpr const wchar_t* TextEditor = L"TextEditor";
inline constexpr const wchar_t* PLB_WAIT = L"PLB_WAIT";
inline constexpr const wchar_t* TE_WAIT = L"TE_WAIT";

// A profile's values; the first two lived in System before there were profiles.
inline constexpr const wchar_t* PEBuilder = L"PEBuilder";
inline constexpr const wchar_t* PEB_WAIT = L"PEB_WAIT";
inline constexpr const wchar_t* UseExtProgram_ISO = L"UseExtProgram_ISO";
inline constexpr const wchar_t* UseExtProgram_BLD = L"UseExtProgram_BLD";
inline constexpr const wchar_t* PEB_VER = L"PEB_VER";
inline constexpr const wchar_t* BuildParams = L"BuildParams";
inline constexpr const wchar_t* ISOParams = L"ISOParams";
inline constexpr const wchar_t* ExternalProgram = L"ExternalProgram";

// The main window's values on the program key; the colours are only ever read.
inline constexpr const wchar_t* BuildStyle = L"BuildStyle";
inline constexpr const wchar_t* SelectedBackColor = L"SelectedBackColor";
inline constexpr const wchar_t* UnselectedBackColor = L"UnselectedBackColor";
inline constexpr const wchar_t* SelectedForeColor = L"SelectedForeColor";
inline constexpr const wchar_t* UnselectedForeColor = L"UnselectedForeColor";

// Values of older versions, converted or removed when met.
inline constexpr const wchar_t* UseMKISOFS = L"UseMKISOFS";
inline constexpr const wchar_t* mkisofsParams = L"mkisofsParams";
inline constexpr const wchar_t* RemoveFiles = L"RemoveFiles";
inline constexpr const wchar_t* OldApplied = L"Temp";  // below Profiles: the editor's applied selection

}  // namespace RegName
