// What the switch computes per plug-in file, with no file system: read the entry, form
// its key, look it up in the preset and answer whether (and to what) the file changes.
// A host program for a repeatable profile under callgrind, whose instruction counts
// do not depend on the load of the machine:
//   g++ -O2 -g -std=c++20 -I. bench/CatalogueProfile.cpp core/Text.cpp core/TextCodec.cpp \
//       core/Ini.cpp core/DriveRoot.cpp core/ListItems.cpp pebuilder/PluginEntry.cpp \
//       pebuilder/InfEnable.cpp -o /tmp/catalogue-profile
//   valgrind --tool=callgrind --callgrind-out-file=/tmp/cg.out /tmp/catalogue-profile 2000
//   callgrind_annotate --inclusive=yes /tmp/cg.out | head -40
// The text is widened byte for byte, as the ANSI code page does for ASCII; the
// system's own decoding (MultiByteToWideChar) is not part of this program.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/Ini.h"
#include "pebuilder/InfEnable.h"
#include "pebuilder/PluginEntry.h"

namespace {

const char* const kWords[] = {"Disk", "Net", "Registry", "Process", "Backup", "Viewer", "Tool", "Monitor"};

struct Plugin {
    std::string bytes;
    std::wstring folder, fileName;
};

Plugin MakePlugin(int i)
{
    const std::string n = std::to_string(i), name = std::string(kWords[i % 8]) + " " + kWords[i / 8 % 8] + " " + n;
    std::string text = "; PE Builder v3 plug-in INF file for " + name + "\r\n; Created with Plugin Builder\r\n\r\n";
    text += "[Version]\r\nSignature= \"$Windows NT$\"\r\n\r\n[PEBuilder]\r\nName=\"" + name + "\"\r\n";
    text += std::string("Enable=") + (i % 2 == 0 ? "1" : "0") + "\r\nHelp=\"readme.htm\"\r\n\r\n";
    text += "[WinntDirectories]\r\na=\"Programs\\tools\\p" + n + "_plugin\",2\r\n\r\n[SourceDisksFiles]\r\n";
    for (int k = 0; text.size() < 1024u + static_cast<unsigned>(i * 7919 % 2900); ++k)
        text += "files\\module" + std::to_string(k) + ".dll=a,,1\r\n";
    return {text, L"C:\\PEBuilder\\Plugin\\tools\\p" + std::to_wstring(i) + L"_plugin", L"p" + std::to_wstring(i) + L".inf"};
}

std::wstring Widen(const std::string& bytes) { return std::wstring(bytes.begin(), bytes.end()); }

// The steps, kept apart so that the profile names each.
[[gnu::noinline]] std::optional<TDataStruct> ReadEntry(const Plugin& p)
{
    const std::wstring text = Widen(p.bytes);
    return PluginEntryFromInf(IniView::Parse(text), p.folder, p.fileName);
}

[[gnu::noinline]] bool InPreset(const std::vector<std::wstring>& keys, const TDataStruct& entry)
{
    return PresetHasKey(keys, PluginKeyOf(entry, L"C:\\PEBuilder"));
}

[[gnu::noinline]] bool Changes(const Plugin& p, bool enabled, const LeadBytes& lead)
{
    // As the switch does it: the new bytes are built only for a file that changes.
    return EnableLineChanges(p.bytes, enabled, lead) && !RewriteEnableLine(p.bytes, enabled, lead).bytes.empty();
}

}  // namespace

int main(int argc, char** argv)
{
    const int count = argc > 1 ? std::atoi(argv[1]) : 2000;
    std::vector<Plugin> plugins;
    std::vector<std::wstring> lines;
    for (int i = 0; i < count; ++i) {
        plugins.push_back(MakePlugin(i));
        if (i % 4 < 2) {
            const std::string name = std::string(kWords[i % 8]) + " " + kWords[i / 8 % 8] + " " + std::to_string(i);
            lines.push_back(L"x=" + Widen(name) + L"::tools\\p" + std::to_wstring(i) + L"_plugin\\");
        }
    }
    const std::vector<std::wstring> keys = PresetKeysFromValueLines(lines);
    const LeadBytes lead;

    size_t changing = 0, entries = 0;
    for (const Plugin& p : plugins) {
        std::optional<TDataStruct> entry = ReadEntry(p);
        if (!entry) continue;
        ++entries;
        changing += Changes(p, InPreset(keys, *entry), lead);
    }
    std::printf("%zu plug-ins, %zu change\n", entries, changing);
    return entries == plugins.size() && changing == plugins.size() / 2 ? 0 : 1;
}
