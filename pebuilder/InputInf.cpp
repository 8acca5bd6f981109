// The version-class rules of input.inf, free of the file system.
#include "pebuilder/InputInf.h"

#include <algorithm>
#include <cstdlib>

#include "core/Error.h"
#include "core/Text.h"

std::wstring InputSection::ReadString(std::wstring_view key, std::wstring_view def) const
{
    return inf_.ReadString(kInputSection, key, def);
}

int32_t InputSection::ReadInteger(std::wstring_view key, int32_t def) const
{
    return inf_.ReadInteger(kInputSection, key, def);
}

std::wstring InputFolderValue(const InputValues& values, std::wstring_view key, std::wstring_view def)
{
    return Trim(ExcludeTrailingBackslash(values.ReadString(key, def)));
}

std::wstring InputFolderValue(const IniDocument& inf, std::wstring_view key, std::wstring_view def)
{
    return InputFolderValue(InputSection(inf), key, def);
}

int VersionClassOf(int pebVer) { return std::clamp(pebVer, 0, 3); }

const std::vector<InputKey>& InputKeys()
{
    using enum InputValueType;
    // clang-format off
    static const std::vector<InputKey> keys = {
        {L"source",            String,  0, true, true},
        {L"outdir",            String,  0, true, true},
        {L"isofile",           String,  0, true, true},
        {L"customdir",         String,  0, true, true},
        {L"buildiso",          Integer, 0, true},
        {L"verbose",           Integer, 0, true},
        {L"skipfiles",         Integer, 1, true},
        {L"skipregistry",      Integer, 1, true},
        {L"burncd",            Integer, 2, true},
        {L"device",            String,  2, true},
        {L"blankcdrw",         Integer, 2, true},
        {L"ISOduplicatesonce", Integer, 2, true},
        {L"volumeid",          String,  2, true},
        {L"useAbsoluteOutput", Integer, 3, true},
        {L"fulloutdir",        String,  3, true, true},
        {L"whattodo",          Integer, 0, false},
    };
    // clang-format on
    return keys;
}

std::vector<InputKey> PresetSettingKeys(int versionClass, CopyOrder order)
{
    std::vector<InputKey> result;
    for (const InputKey& k : InputKeys()) {
        if (k.inPreset && k.versionClass <= VersionClassOf(versionClass)) result.push_back(k);
    }
    if (order == CopyOrder::IsoRun) {
        auto named = [&](const wchar_t* name) {
            return std::find_if(result.begin(), result.end(),
                                [&](const InputKey& k) { return SameText(k.name, name); });
        };
        auto device = named(L"device");
        auto blank = named(L"blankcdrw");
        if (device != result.end() && blank != result.end()) std::iter_swap(device, blank);
    }
    return result;
}

std::wstring EffectiveOutDir(const IniDocument& inf, const std::wstring& peBuilderFolder, int versionClass)
{
    return EffectiveOutDir(InputSection(inf), peBuilderFolder, versionClass);
}

std::wstring EffectiveOutDir(const InputValues& inf, const std::wstring& peBuilderFolder, int versionClass)
{
    std::wstring outdir = InputFolderValue(inf, L"outdir");
    switch (VersionClassOf(versionClass)) {
    case 0: return outdir;
    case 1:
    case 2: return peBuilderFolder + L"\\" + outdir;
    default:
        switch (inf.ReadInteger(L"useAbsoluteOutput", 0)) {
        case 0: return peBuilderFolder + L"\\" + outdir;
        case 1: return InputFolderValue(inf, L"fulloutdir", peBuilderFolder);
        default: return outdir;
        }
    }
}

size_t ToggleColumnCount(int versionClass)
{
    static const size_t counts[] = {2, 3, 4, 4};
    return counts[VersionClassOf(versionClass)];
}

std::vector<ToggleWrite> CustomToggleWrites(int versionClass, const std::vector<int>& cells)
{
    const int cls = VersionClassOf(versionClass);
    if (cells.size() < ToggleColumnCount(cls))
        throw AppError(L"The custom build of PE Builder class " + std::to_wstring(cls) + L" has " +
                       std::to_wstring(ToggleColumnCount(cls)) + L" toggles, not " + std::to_wstring(cells.size()));
    if (cls == 0) return {{L"buildiso", cells[1]}};
    // A cell says "build this stage"; PE Builder's keys say "skip it".
    std::vector<ToggleWrite> writes = {
        {L"skipregistry", std::abs(cells[0] - 1)},
        {L"skipfiles", std::abs(cells[1] - 1)},
        {L"buildiso", cells[2]},
    };
    if (cls >= 2) writes.push_back({L"burncd", cells[3]});
    return writes;
}
