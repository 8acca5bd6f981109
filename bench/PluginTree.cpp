// The generated PE Builder installation of the plug-in benchmark.
#include "bench/PluginTree.h"

#include <windows.h>

#include <random>

#include "core/Error.h"
#include "core/Files.h"
#include "core/Handles.h"
#include "core/Text.h"
#include "core/WinError.h"

namespace {

const wchar_t* const kCategories[] = {
    L"network", L"system",  L"drivers",  L"tools", L"security",       L"explorer",
    L"shell",   L"storage", L"hardware", L"media", L"ユーティリティ", L"日本語",
};
const wchar_t* const kGroups[] = {L"basic", L"extra", L"vendor", L"ソフト表示"};
const wchar_t* const kWords[] = {L"Disk", L"Net", L"Registry", L"Process", L"Backup", L"Viewer", L"Tool", L"Monitor"};
// Japanese names with the trail bytes that trip byte-wise code: 0x5C ('\') in ソ, 表
// and 能, 0x5B ('[') in ー.
const wchar_t* const kJapaneseWords[] = {L"ソフト", L"表示", L"機能", L"ツール", L"システム", L"エディタ", L"ドライバ"};

std::string Encode932(const std::wstring& text)
{
    int size = ::WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(size, '\0');
    ::WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
    return bytes;
}

void MakeFolders(const std::wstring& folder)
{
    for (size_t cut = folder.find(L'\\', 3);; cut = folder.find(L'\\', cut + 1)) {
        std::wstring part = folder.substr(0, cut);
        if (!::CreateDirectoryW(part.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
            ThrowLastError(L"Cannot make the folder " + part);
        if (cut == std::wstring::npos) break;
    }
}

}  // namespace

void WriteWholeFile(const std::wstring& path, const std::string& bytes)
{
    FileHandle file(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD done = 0;
    if (!file || !::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr))
        ThrowLastError(L"Cannot write " + path);
}

PluginTree PlanPluginTree(const std::wstring& peBuilder, int count)
{
    PluginTree tree{peBuilder, {}};
    std::mt19937 random(4711);
    for (int i = 0; i < count; ++i) {
        PlannedPlugin p;
        p.index = i;
        const std::wstring number = std::to_wstring(i);
        p.name = i % 4 == 3 ? std::wstring(kJapaneseWords[random() % 7]) + kJapaneseWords[random() % 7] + L" " + number
                            : std::wstring(kWords[random() % 8]) + L" " + kWords[random() % 8] + L" " + number;
        const std::wstring slug = L"p" + number + (i % 4 == 3 ? L"_表示" : L"_plugin");
        p.subFolder = std::wstring(kCategories[random() % 12]) + L"\\";
        if (i % 3 == 0) p.subFolder += std::wstring(kGroups[random() % 4]) + L"\\";
        p.subFolder += slug + L"\\";
        p.fileName = slug + L".inf";
        p.enabled = i % 2 == 0;
        p.inPreset = *PresetWants(p.fileName);
        tree.plugins.push_back(std::move(p));
    }
    return tree;
}

std::optional<bool> PresetWants(std::wstring_view fileName)
{
    if (fileName.size() < 2 || fileName[0] != L'p' || fileName[1] < L'0' || fileName[1] > L'9') return std::nullopt;
    int index = 0;
    for (size_t i = 1; i < fileName.size() && fileName[i] >= L'0' && fileName[i] <= L'9'; ++i)
        index = index * 10 + (fileName[i] - L'0');
    return index % 4 < 2;
}

std::vector<std::wstring> PluginTree::PresetKeys() const
{
    std::vector<std::wstring> keys;
    for (const PlannedPlugin& p : plugins)
        if (p.inPreset) keys.push_back(KeyOf(p));
    return keys;
}

size_t PluginTree::ChangedByPreset() const
{
    size_t changed = 0;
    for (const PlannedPlugin& p : plugins) changed += p.enabled != p.inPreset;
    return changed;
}

std::string InfBytes(const PlannedPlugin& p)
{
    std::mt19937 random(static_cast<unsigned>(p.index) * 7919u + 17u);
    const std::wstring folder = p.subFolder.substr(0, p.subFolder.size() - 1);
    const std::wstring exe = L"tool" + std::to_wstring(p.index) + L".exe";
    std::wstring head =
        L"; PE Builder v3 plug-in INF file for " + p.name + L"\r\n; Created with Plugin Builder\r\n\r\n";
    head += L"[Version]\r\nSignature= \"$Windows NT$\"\r\n\r\n[PEBuilder]\r\nName=\"" + p.name + L"\"\r\n";
    head += std::wstring(L"Enable=") + (p.enabled ? L"1" : L"0") + L"\r\nHelp=\"readme.htm\"\r\n";
    if (p.index % 3 == 0) head += L"Config=\"config.exe\",-plugin\r\n";
    head += L"\r\n[WinntDirectories]\r\na=\"Programs\\" + folder + L"\",2\r\n\r\n";

    std::wstring files = L"[SourceDisksFiles]\r\nfiles\\" + exe + L"=a,,1\r\n";
    std::wstring reg = L"[Software.AddReg]\r\n0x2,\"Sherpya\\XPEinit\\Programs\",\"" + p.name +
                       L"\",\"%ProgramFiles%\\" + folder + L"\\" + exe + L"\"\r\n";
    // Japanese text stands in a few fixed places only, so the file stays within 4 KB
    // once its double-byte characters are counted.
    const size_t target = 1024 + random() % 2900;
    for (int n = 0; head.size() + files.size() + reg.size() < target; ++n) {
        if (n % 2 == 0)
            files += L"files\\module" + std::to_wstring(n) + L".dll=a,,1\r\n";
        else
            reg += L"0x1,\"Software\\Vendor\\Tool" + std::to_wstring(p.index) + L"\",\"Setting" + std::to_wstring(n) +
                   L"\",\"" + std::to_wstring(random()) + L"\"\r\n";
    }
    return Encode932(head + files + L"\r\n" + reg);
}

void WritePluginTree(const PluginTree& tree, bool infFilesOnly)
{
    for (const PlannedPlugin& p : tree.plugins) {
        const std::wstring path = tree.InfPath(p);
        if (!infFilesOnly) {
            MakeFolders(ExtractFileDir(path));
            WriteWholeFile(tree.PluginFolder() + L"\\" + p.subFolder + L"readme.htm",
                           "<html><body>" + Encode932(p.name) + "</body></html>\r\n");
        }
        WriteWholeFile(path, InfBytes(p));
    }
}

size_t CountWrongStates(const PluginTree& tree)
{
    size_t wrong = 0;
    for (const PlannedPlugin& p : tree.plugins) {
        std::string bytes = ReadFileBytes(tree.InfPath(p));
        wrong += bytes.find(p.inPreset ? "\r\nEnable=1\r\n" : "\r\nEnable=0\r\n") == std::string::npos;
    }
    return wrong;
}
