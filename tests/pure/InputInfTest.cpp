// The version classes of input.inf: keys per class, the effective output folder and
// the custom-build toggles.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/Error.h"
#include "pebuilder/InputInf.h"

namespace {

std::vector<std::wstring> Names(const std::vector<InputKey>& keys)
{
    std::vector<std::wstring> names;
    for (const InputKey& k : keys) names.push_back(k.name);
    return names;
}

std::wstring OutDir(const wchar_t* inf, int versionClass)
{
    return EffectiveOutDir(IniDocument::Parse(inf), L"C:\\pebuilder", versionClass);
}

}  // namespace

TEST(InputInf, EachClassAddsItsKeys)
{
    using V = std::vector<std::wstring>;
    const V base = {L"source", L"outdir", L"isofile", L"customdir", L"buildiso", L"verbose"};
    V one = base;
    one.insert(one.end(), {L"skipfiles", L"skipregistry"});
    V two = one;
    two.insert(two.end(), {L"burncd", L"device", L"blankcdrw", L"ISOduplicatesonce", L"volumeid"});
    V three = two;
    three.insert(three.end(), {L"useAbsoluteOutput", L"fulloutdir"});

    EXPECT_EQ(Names(PresetSettingKeys(0, CopyOrder::Build)), base);
    EXPECT_EQ(Names(PresetSettingKeys(1, CopyOrder::Build)), one);
    EXPECT_EQ(Names(PresetSettingKeys(2, CopyOrder::Build)), two);
    EXPECT_EQ(Names(PresetSettingKeys(3, CopyOrder::Build)), three);
    EXPECT_EQ(Names(PresetSettingKeys(9, CopyOrder::Build)), three);
    EXPECT_EQ(Names(PresetSettingKeys(-1, CopyOrder::Build)), base);

    V isoRun = three;
    std::swap(isoRun[9], isoRun[10]);
    EXPECT_EQ(isoRun[9], L"blankcdrw");
    EXPECT_EQ(Names(PresetSettingKeys(3, CopyOrder::IsoRun)), isoRun);
    EXPECT_EQ(Names(PresetSettingKeys(1, CopyOrder::IsoRun)), one);

    const V strings = {L"source", L"outdir", L"isofile", L"customdir", L"device", L"volumeid", L"fulloutdir"};
    for (const InputKey& k : InputKeys()) {
        bool text = std::find(strings.begin(), strings.end(), k.name) != strings.end();
        EXPECT_EQ(k.type, text ? InputValueType::String : InputValueType::Integer) << k.name;
    }
}

TEST(InputInf, KeysExistFromTheirClassOnAndWhattodoAlways)
{
    auto fromClass = [](std::wstring_view name) {
        for (const InputKey& k : InputKeys())
            if (k.name == name) return k.versionClass;
        return -1;
    };
    EXPECT_EQ(fromClass(L"whattodo"), 0);
    EXPECT_EQ(fromClass(L"customdir"), 0);
    EXPECT_EQ(fromClass(L"skipfiles"), 1);
    EXPECT_EQ(fromClass(L"burncd"), 2);
    EXPECT_EQ(fromClass(L"volumeid"), 2);
    EXPECT_EQ(fromClass(L"fulloutdir"), 3);
    EXPECT_EQ(fromClass(L"useAbsoluteOutput"), 3);
    EXPECT_EQ(fromClass(L"unknown"), -1);
    for (const InputKey& k : InputKeys()) EXPECT_EQ(k.inPreset, std::wstring(k.name) != L"whattodo") << k.name;
}

TEST(InputInf, EffectiveOutDirByClass)
{
    EXPECT_EQ(OutDir(L"[input]\noutdir=out\\", 1), L"C:\\pebuilder\\out");
    EXPECT_EQ(OutDir(L"[input]\noutdir=out\\", 2), L"C:\\pebuilder\\out");
    EXPECT_EQ(OutDir(L"[input]\noutdir=D:\\out\\", 0), L"D:\\out");
    EXPECT_EQ(OutDir(L"[input]\noutdir=out\\\nuseAbsoluteOutput=0\nfulloutdir=E:\\abs\\", 3), L"C:\\pebuilder\\out");
    EXPECT_EQ(OutDir(L"[input]\noutdir=out\\\nuseAbsoluteOutput=1\nfulloutdir=E:\\abs\\", 3), L"E:\\abs");
    EXPECT_EQ(OutDir(L"[input]\noutdir=out\\", 3), L"C:\\pebuilder\\out");
    // Class 3 without fulloutdir: the PE Builder folder itself; another choice: outdir.
    EXPECT_EQ(OutDir(L"[input]\noutdir=out\\\nuseAbsoluteOutput=1", 3), L"C:\\pebuilder");
    EXPECT_EQ(OutDir(L"[input]\noutdir=out\\\nuseAbsoluteOutput=2\nfulloutdir=E:\\abs\\", 3), L"out");
    EXPECT_EQ(OutDir(L"[input]\noutdir=out\\\nuseAbsoluteOutput=x", 3), L"C:\\pebuilder\\out");
    // The backslash goes first, then the blanks before it (the file's own trimming
    // has taken those after it).
    EXPECT_EQ(OutDir(L"[input]\noutdir=D:\\out  \\", 0), L"D:\\out");
    EXPECT_EQ(OutDir(L"[input]\noutdir=out \\\\", 1), L"C:\\pebuilder\\out \\");
    // Only the last backslash goes; an empty outdir leaves the joining one.
    EXPECT_EQ(OutDir(L"", 0), L"");
    EXPECT_EQ(OutDir(L"", 1), L"C:\\pebuilder\\");
    EXPECT_EQ(OutDir(L"[other]\noutdir=x", 0), L"");
}

TEST(InputInf, ToggleColumnsAndWritesByClass)
{
    EXPECT_EQ(ToggleColumnCount(0), 2u);
    EXPECT_EQ(ToggleColumnCount(1), 3u);
    EXPECT_EQ(ToggleColumnCount(2), 4u);
    EXPECT_EQ(ToggleColumnCount(3), 4u);

    auto text = [](const std::vector<ToggleWrite>& writes) {
        std::wstring s;
        for (const ToggleWrite& w : writes) s += w.key + L"=" + std::to_wstring(w.value) + L";";
        return s;
    };
    EXPECT_EQ(text(CustomToggleWrites(0, {0, 1})), L"buildiso=1;");
    EXPECT_EQ(text(CustomToggleWrites(0, {1, 0})), L"buildiso=0;");
    EXPECT_EQ(text(CustomToggleWrites(1, {1, 0, 1})), L"skipregistry=0;skipfiles=1;buildiso=1;");
    EXPECT_EQ(text(CustomToggleWrites(2, {0, 1, 0, 1})), L"skipregistry=1;skipfiles=0;buildiso=0;burncd=1;");
    EXPECT_EQ(text(CustomToggleWrites(3, {1, 1, 1, 0})), L"skipregistry=0;skipfiles=0;buildiso=1;burncd=0;");
    EXPECT_THROW(CustomToggleWrites(2, {1, 1, 1}), AppError);
    EXPECT_THROW(CustomToggleWrites(0, {1}), AppError);
}
