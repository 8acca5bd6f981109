// Relative paths and plug-in keys over any folder names: a folder below the plug-in
// folder gives its sub-path, any folder on the same drive is reached again by
// walking the relative path from the base, and another drive gives the folder itself.
#include <cstdint>
#include <vector>

#include "core/DriveRoot.h"
#include "core/Text.h"
#include "pebuilder/PluginEntry.h"
#include "tests/fuzz/FuzzInput.h"

namespace {

const wchar_t* const kDrives[] = {L"C:", L"c:", L"D:", L"\\\\server\\share", L"\\\\SERVER\\Share"};

// Folder names as a file system holds them: not empty, no separator, no "." or "..".
std::vector<std::wstring> ConsumeNames(FuzzedDataProvider& in)
{
    std::vector<std::wstring> names;
    for (size_t n = in.ConsumeIntegralInRange<size_t>(0, 5); n > 0; --n) {
        std::wstring name = ConsumeText(in, 12);
        if (name.empty() || name == L"." || name == L".." || name.find_first_of(L"\\:") != std::wstring::npos)
            name = L"d";
        names.push_back(name);
    }
    return names;
}

std::wstring Join(const std::wstring& drive, const std::vector<std::wstring>& names)
{
    std::wstring path = drive;
    for (const std::wstring& name : names) path += L"\\" + name;
    return path;
}

// The folder names reached from base's names by walking a relative path.
std::vector<std::wstring> Walk(std::vector<std::wstring> names, std::wstring_view relative)
{
    size_t start = 0;
    while (start < relative.size()) {
        size_t end = relative.find(L'\\', start);
        Require(end != std::wstring_view::npos, "every step of a relative path ends with a backslash");
        std::wstring step(relative.substr(start, end - start));
        if (step == L"..") {
            Require(!names.empty(), "a relative path climbs no higher than the drive");
            names.pop_back();
        } else {
            names.push_back(step);
        }
        start = end + 1;
    }
    return names;
}

bool SameNames(const std::vector<std::wstring>& a, const std::vector<std::wstring>& b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (!SameText(a[i], b[i])) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const std::wstring baseDrive = in.PickValueInArray(kDrives), folderDrive = in.PickValueInArray(kDrives);
    const std::vector<std::wstring> common = ConsumeNames(in), baseTail = ConsumeNames(in),
                                    folderTail = ConsumeNames(in);
    const std::wstring displayName = ConsumeText(in, 20);

    std::vector<std::wstring> baseNames = common, folderNames = common;
    baseNames.insert(baseNames.end(), baseTail.begin(), baseTail.end());
    folderNames.insert(folderNames.end(), folderTail.begin(), folderTail.end());
    const std::wstring base = Join(baseDrive, baseNames) + L"\\", folder = Join(folderDrive, folderNames);

    const std::wstring relative = RelativePath(folder, base);
    if (!SameText(ExtractFileDrive(base), ExtractFileDrive(folder))) {
        Require(relative == folder + L"\\", "a folder on another drive stays as it is, with a backslash");
    } else {
        Require(SameNames(Walk(baseNames, relative), folderNames),
                "walking the relative path from the base reaches the folder");
    }

    // A plug-in's key: its sub-path below PE Builder's plug-in folder, however that is written.
    TDataStruct entry;
    entry.DisplayName = displayName;
    entry.Folder = Join(folderDrive, common) + (in.ConsumeBool() ? L"\\Plugin" : L"\\PLUGIN");
    std::wstring subPath;
    for (const std::wstring& name : folderTail) {
        entry.Folder += L"\\" + name;
        subPath += name + L"\\";
    }
    const std::wstring peBuilder = Join(folderDrive, common) + (in.ConsumeBool() ? L"\\" : L"");
    Require(PluginKeyOf(entry, peBuilder) == displayName + L"::" + subPath, "a plug-in's key ends with its sub-path");

    // Paths of any content only have to be handled safely.
    const std::wstring raw = WideFromBytes(in.ConsumeRemainingBytesAsString());
    (void)RelativePath(raw, base);
    (void)RelativePath(folder, raw);
    (void)NtfsQueryRoot(raw);
    return 0;
}
