// Plugin Builder's settings file, written only where Plugin Builder keeps one.
#include "core/Files.h"
#include "core/IniFile.h"
#include "pebuilder/Installation.h"

bool WritePluginBuilderSetting(const std::wstring& folder, const std::wstring& key, const std::wstring& value)
{
    // Without a folder the path would name the root of the current drive.
    if (folder.empty()) return false;
    std::wstring ini = PluginBuilderIniPath(folder);
    if (!FileExists(ini)) return false;
    WriteIniString(ini, kPluginBuilderSection, key, value);
    return true;
}

bool WritePluginBuilderPluginPath(const std::wstring& pluginBuilder, const std::wstring& peBuilder)
{
    if (pluginBuilder.empty() || !FileExists(PluginBuilderIniPath(pluginBuilder))) return false;
    return WritePluginBuilderSetting(pluginBuilder, kPluginPathKey, PluginFolderPath(peBuilder));
}
