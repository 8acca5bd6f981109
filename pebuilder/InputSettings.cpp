// The PE Builder settings dialog's rules, free of windows.
#include "pebuilder/InputSettings.h"

#include "core/Text.h"
#include "pebuilder/InputInf.h"

InputSettingsFields LoadInputSettings(const InputValueSource& in, int versionClass)
{
    const int cls = VersionClassOf(versionClass);
    InputSettingsFields f;
    f.absoluteOutput = cls == 0;
    f.source = ExcludeTrailingBackslash(in.text(L"source", L""));
    f.outdir = ExcludeTrailingBackslash(in.text(L"outdir", L""));
    f.customdir = ExcludeTrailingBackslash(in.text(L"customdir", L""));
    std::wstring isofile = in.text(L"isofile", L"");
    f.isoFolder = ExcludeTrailingBackslash(ExtractFileDir(isofile));
    f.isoName = ExtractFileName(isofile);
    f.buildiso = in.integer(L"buildiso") == 1;
    f.verbose = in.integer(L"verbose") == 1;
    if (cls >= 1) {
        f.skipfiles = in.integer(L"skipfiles") == 1;
        f.skipregistry = in.integer(L"skipregistry") == 1;
    }
    if (cls >= 2) {
        f.burncd = in.integer(L"burncd") == 1;
        f.blankcdrw = in.integer(L"blankcdrw") == 1;
        f.ISOduplicatesonce = in.integer(L"ISOduplicatesonce") == 1;
        f.volumeid = in.text(L"volumeid", L"");
        f.device = in.text(L"device", L"");
    }
    if (cls == 3) {
        int32_t absolute = in.integer(L"useAbsoluteOutput");
        if (absolute == 1 || absolute == 0) f.absoluteOutput = absolute == 1;
        if (f.absoluteOutput) f.outdir = ExcludeTrailingBackslash(in.text(L"fulloutdir", f.outdir));
    }
    return f;
}

std::wstring FormatText(const std::wstring& pattern, const std::wstring& value)
{
    std::wstring result;
    bool used = false;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == L'%' && i + 1 < pattern.size()) {
            wchar_t next = pattern[i + 1];
            if (next == L'%') {
                result += L'%';
                ++i;
                continue;
            }
            if (next == L's' && !used) {
                result += value;
                used = true;
                ++i;
                continue;
            }
        }
        result += pattern[i];
    }
    return result;
}

std::wstring OutputLabelText(bool absoluteOutput, const OutputLabelTexts& texts)
{
    if (!texts.languageFile)
        return FormatText(L"ビルドファイル出力パス%s(&D):", absoluteOutput ? L"" : L"[PE Builderパスからのオフセット]");
    return FormatText(texts.pattern, absoluteOutput ? L"" : L" " + texts.relative);
}

std::wstring OutputToAbsolute(const std::wstring& peBuilder, const std::wstring& relative)
{
    return ExcludeTrailingBackslash(peBuilder + L"\\" + relative);
}

std::wstring OutputToRelative(const std::wstring& peBuilder, const std::wstring& absolute)
{
    // The base is a folder: with its backslash its own name counts as a folder name.
    return ExcludeTrailingBackslash(
        RelativePath(IncludeTrailingBackslash(absolute), IncludeTrailingBackslash(peBuilder)));
}

std::wstring OutputBrowseStart(const std::wstring& peBuilder, const std::wstring& text, bool absoluteOutput)
{
    return absoluteOutput ? text : peBuilder + L"\\" + text;
}

std::wstring OutputBrowseResult(const std::wstring& peBuilder, const std::wstring& chosen, bool absoluteOutput)
{
    return absoluteOutput ? chosen : OutputToRelative(peBuilder, chosen);
}

InputCheck CheckInputSettings(const InputSettingsFields& f, const std::wstring& peBuilder,
                              const FolderTest& folderExists)
{
    if (!folderExists(f.source)) return {InputField::Source, RS_401};
    std::wstring out = f.absoluteOutput ? f.outdir : peBuilder + L"\\" + f.outdir;
    if (Trim(f.outdir).empty() || !folderExists(out)) return {InputField::OutDir, RS_402};
    if (!folderExists(f.isoFolder)) return {InputField::IsoFolder, RS_403};
    if (Trim(f.isoName).empty()) return {InputField::IsoName, RS_404};
    if (!Trim(f.customdir).empty() && !folderExists(f.customdir)) return {InputField::CustomDir, RS_405};
    return {};
}

std::vector<InputWrite> InputSettingsWrites(const InputSettingsFields& f, int versionClass,
                                            const std::optional<std::wstring>& deviceAddress)
{
    const int cls = VersionClassOf(versionClass);
    auto flag = [](const wchar_t* key, bool on) { return InputWrite{key, L"", on ? 1 : 0}; };
    auto text = [](const wchar_t* key, std::wstring value) { return InputWrite{key, std::move(value), std::nullopt}; };

    std::vector<InputWrite> w;
    w.push_back(text(L"source", IncludeTrailingBackslash(f.source)));
    w.push_back(text(L"outdir", IncludeTrailingBackslash(f.outdir)));
    w.push_back(text(L"isofile", IncludeTrailingBackslash(f.isoFolder) + f.isoName));
    w.push_back(text(L"customdir", Trim(f.customdir).empty() ? L"" : IncludeTrailingBackslash(f.customdir)));
    w.push_back(flag(L"buildiso", f.buildiso));
    w.push_back(flag(L"verbose", f.verbose));
    if (cls >= 1) {
        w.push_back(flag(L"skipfiles", f.skipfiles));
        w.push_back(flag(L"skipregistry", f.skipregistry));
    }
    if (cls >= 2) {
        bool drive = deviceAddress.has_value();
        w.push_back(flag(L"burncd", drive && f.burncd));
        w.push_back(flag(L"blankcdrw", drive && f.blankcdrw));
        w.push_back(text(L"device", drive && f.burncd ? *deviceAddress : L""));
        w.push_back(text(L"volumeid", drive ? UpperCase(f.volumeid) : L""));
        w.push_back(flag(L"ISOduplicatesonce", f.ISOduplicatesonce));
    }
    if (cls == 3) {
        w.push_back(flag(L"useAbsoluteOutput", f.absoluteOutput));
        if (f.absoluteOutput) w.push_back(text(L"fulloutdir", IncludeTrailingBackslash(f.outdir)));
    }
    return w;
}
