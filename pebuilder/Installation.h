// Where the outside tools live and how they are started: the files of a PE Builder
// installation and of a Plugin Builder installation, and their command lines.
#pragma once

#include <string>

// PE Builder; folder is the installation folder without a trailing backslash. The
// files and folders the program writes (input.inf, the plug-in INFs) refuse an empty
// folder with AppError.
inline const std::wstring kInputInfName = L"input.inf";
std::wstring PEBuilderExePath(const std::wstring& folder);  // folder\pebuilder.exe
std::wstring InputInfPath(const std::wstring& folder);      // folder\input.inf
std::wstring PluginFolderPath(const std::wstring& folder);  // folder\Plugin
std::wstring PEBuilderLogPath(const std::wstring& folder);  // folder\pebuilder.log
std::wstring MkisofsExePath(const std::wstring& folder);    // folder\mkisofs.exe
// The file whose presence marks a Windows install source; read-only on a CD.
std::wstring SourceMarkerPath(const std::wstring& source);  // source\i386\SHELL32.DL_
// The file whose presence marks a finished build.
std::wstring BootSectorPath(const std::wstring& outDir);  // outDir\bootsect.bin
// "folder\pebuilder.exe" in double quotes, a blank, params; the blank stays when
// params is empty.
std::wstring PEBuilderCommandLine(const std::wstring& folder, const std::wstring& params);

// Plugin Builder; folder is its installation folder without a trailing backslash.
std::wstring PluginBuilderExePath(const std::wstring& folder);  // folder\Plugin_Builder.exe
std::wstring PluginBuilderIniPath(const std::wstring& folder);  // folder\Plugin_Builder.ini
// The program and the plug-in's INF file, each in double quotes, one blank between.
std::wstring PluginBuilderCommandLine(const std::wstring& folder, const std::wstring& infPath);

inline const std::wstring kPluginBuilderSection = L"System";
inline const std::wstring kPluginPathKey = L"PluginPath";
inline const std::wstring kSourcePathKey = L"SourcePath";

// Writes key=value into [System] of Plugin_Builder.ini in folder, but only when that
// file exists: the program never creates Plugin Builder's settings. Answers whether
// it wrote. A file that cannot be written throws AppError naming it.
bool WritePluginBuilderSetting(const std::wstring& folder, const std::wstring& key, const std::wstring& value);
// Tells the Plugin Builder in pluginBuilder where the plug-ins of the PE Builder in
// peBuilder are ([System] PluginPath), when it keeps a settings file; otherwise
// nothing. Answers whether it wrote.
bool WritePluginBuilderPluginPath(const std::wstring& pluginBuilder, const std::wstring& peBuilder);
