// The preset file: writing and reading it, and its plug-ins against a catalogue.
#include "pebuilder/PresetFile.h"

#include <algorithm>

#include "core/Error.h"
#include "core/Text.h"
#include "core/TextCodec.h"
#include "pebuilder/InputInf.h"
#include "pebuilder/PluginEntry.h"

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kFirstLine = "[Kitwright preset]";
const std::wstring kMark = L"[Kitwright preset]";
const std::wstring kFormatKey = L"format=";
const std::wstring kNameKey = L"name=";
const std::wstring kPlugins = L"[plugins]";
const std::wstring kSettings = L"[settings]";
const std::wstring kEnd = L"[end]";
const std::wstring kPEBuilderMark = L"<PEBuilder>";

// A line of the file holds no line break, and no NUL that would end it for a reader.
bool FitsOnALine(std::wstring_view text) { return text.find_first_of(std::wstring_view(L"\r\n\0", 3)) == text.npos; }

// "net\tcpip.inf": names that Windows allows, none empty, "." or "..", the last an INF file.
bool IsRelativeInfPath(std::wstring_view path)
{
    if (path.empty()) return false;
    for (wchar_t c : path)
        if (c < 0x20 || std::wstring_view(L"<>:\"/|?*").find(c) != std::wstring_view::npos) return false;
    size_t start = 0;
    while (true) {
        const size_t end = std::min(path.find(L'\\', start), path.size());
        const std::wstring_view name = path.substr(start, end - start);
        if (name.empty() || name == L"." || name == L"..") return false;
        if (end == path.size()) return IsInfFileName(name);
        start = end + 1;
    }
}

const InputKey* PresetSettingKey(std::wstring_view name)
{
    for (const InputKey& key : InputKeys())
        if (key.inPreset && SameText(key.name, name)) return &key;
    return nullptr;
}

// Whether a value fits its key: an integer key's a number; a path that names the PE
// Builder folder has nothing or a backslash after the mark.
bool FitsKey(const InputKey& key, std::wstring_view value)
{
    if (key.type == InputValueType::Integer) return ParseInteger(value).has_value();
    if (!key.isPath || !value.starts_with(kPEBuilderMark)) return true;
    const std::wstring_view rest = value.substr(kPEBuilderMark.size());
    return rest.empty() || rest[0] == L'\\';
}

std::wstring Quoted(std::wstring_view text) { return L"\"" + std::wstring(text) + L"\""; }

// The lines of a file, with where each begins; a reader that finds a fault says which.
class LineReader {
public:
    explicit LineReader(std::vector<std::wstring> lines) : lines_(std::move(lines)) {}
    // The next line that is not empty, or nothing at the end.
    const std::wstring* Next()
    {
        while (next_ < lines_.size() && lines_[next_].empty()) ++next_;
        if (next_ == lines_.size()) return nullptr;
        return &lines_[next_++];
    }
    size_t LineNumber() const { return next_; }  // of the line Next gave, from 1
    size_t EndLineNumber() const { return lines_.size() + 1; }

private:
    std::vector<std::wstring> lines_;
    size_t next_ = 0;
};

// The line (from 1) that holds bytes[at]; CR LF, LF and CR each end one.
size_t LineOf(std::string_view bytes, size_t at)
{
    size_t line = 1;
    for (size_t i = 0; i < at; ++i)
        if (bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 >= bytes.size() || bytes[i + 1] != '\n'))) ++line;
    return line;
}

ParsedPresetFile Problem(PresetFileProblem problem, size_t line = 0)
{
    ParsedPresetFile parsed;
    parsed.problem = problem;
    parsed.line = line;
    return parsed;
}

}  // namespace

std::string WritePresetFile(const PortablePreset& preset)
{
    std::wstring text;
    auto line = [&](std::wstring_view content, std::wstring_view what) {
        if (!FitsOnALine(content)) throw AppError(L"A preset file cannot hold a line break: " + Quoted(what));
        text += content;
        text += L"\r\n";
    };
    if (preset.name.empty()) throw AppError(L"A preset file needs the preset's name.");
    line(kMark, kMark);
    line(kFormatKey + std::to_wstring(kPresetFileFormat), kFormatKey);
    line(kNameKey + preset.name, preset.name);
    text += L"\r\n";
    line(kPlugins, kPlugins);
    for (const PortablePlugin& plugin : preset.plugins) {
        if (!IsRelativeInfPath(plugin.infPath))
            throw AppError(L"Not an INF file below the plug-in folder: " + Quoted(plugin.infPath));
        line(plugin.infPath + L"|" + plugin.name, plugin.name);
    }
    if (preset.settings) {
        text += L"\r\n";
        line(kSettings, kSettings);
        for (const PortableSetting& setting : *preset.settings) {
            const InputKey* key = PresetSettingKey(setting.key);
            if (!key || !FitsKey(*key, setting.value))
                throw AppError(L"Not a preset setting: " + Quoted(setting.key + L"=" + setting.value));
            line(std::wstring(key->name) + L"=" + setting.value, setting.key);
        }
    }
    text += L"\r\n";
    line(kEnd, kEnd);
    std::optional<std::string> bytes = WideToUtf8(text);
    if (!bytes) throw AppError(L"The preset " + Quoted(preset.name) + L" holds text that UTF-8 cannot carry.");
    return std::string(kUtf8Mark) + *bytes;
}

ParsedPresetFile ParsePresetFile(std::string_view bytes)
{
    using enum PresetFileProblem;
    if (bytes.starts_with(kUtf8Mark)) bytes.remove_prefix(kUtf8Mark.size());
    const std::string_view first = bytes.substr(0, std::min(bytes.find_first_of("\r\n"), bytes.size()));
    if (first != kFirstLine) return Problem(NotPresetFile);
    std::optional<std::wstring> text = Utf8ToWide(bytes);
    if (!text) return Problem(Damaged, LineOf(bytes, Utf8ValidLength(bytes)));
    LineReader lines(SplitLines(*text));
    lines.Next();  // the mark

    const std::wstring* line = lines.Next();
    auto damaged = [&](const std::wstring* at) {
        return Problem(Damaged, at ? lines.LineNumber() : lines.EndLineNumber());
    };
    if (!line || !line->starts_with(kFormatKey)) return damaged(line);
    const std::wstring_view format = std::wstring_view(*line).substr(kFormatKey.size());
    if (format.empty() || format.size() > 9 || format.find_first_not_of(L"0123456789") != format.npos ||
        format.find_first_not_of(L'0') == format.npos)
        return damaged(line);
    if (std::stoul(std::wstring(format)) > kPresetFileFormat) return Problem(NewerFormat);

    ParsedPresetFile parsed;
    PortablePreset& preset = parsed.preset;
    auto fits = [](const std::wstring& l) { return l.find(L'\0') == std::wstring::npos; };

    line = lines.Next();
    if (!line || !line->starts_with(kNameKey) || line->size() == kNameKey.size() || !fits(*line)) return damaged(line);
    preset.name = line->substr(kNameKey.size());

    line = lines.Next();
    if (!line || *line != kPlugins) return damaged(line);
    // No INF path is a section's line: none ends in "]".
    while ((line = lines.Next()) && *line != kSettings && *line != kEnd) {
        const size_t bar = line->find(L'|');
        if (bar == std::wstring::npos || !fits(*line)) return damaged(line);
        PortablePlugin plugin{line->substr(0, bar), line->substr(bar + 1)};
        if (!IsRelativeInfPath(plugin.infPath)) return damaged(line);
        preset.plugins.push_back(std::move(plugin));
    }

    if (line && *line == kSettings) {
        preset.settings.emplace();
        while ((line = lines.Next()) && *line != kEnd) {
            const size_t equals = line->find(L'=');
            const InputKey* key = equals == std::wstring::npos ? nullptr : PresetSettingKey(line->substr(0, equals));
            if (!key || !fits(*line)) return damaged(line);
            PortableSetting setting{key->name, line->substr(equals + 1)};
            const bool repeated = std::any_of(preset.settings->begin(), preset.settings->end(),
                                              [&](const PortableSetting& s) { return s.key == setting.key; });
            if (repeated || !FitsKey(*key, setting.value)) return damaged(line);
            preset.settings->push_back(std::move(setting));
        }
    }
    if (!line || *line != kEnd) return damaged(line);
    if ((line = lines.Next())) return damaged(line);
    return parsed;
}

std::vector<CataloguePlugin> CataloguePlugins(const StringList& catalogue, const std::wstring& peBuilderFolder)
{
    std::vector<CataloguePlugin> plugins;
    plugins.reserve(catalogue.size());
    for (const StringListItem& item : catalogue) {
        const TDataStruct& entry = item.Data;
        std::wstring key = PluginKeyOf(entry, peBuilderFolder);
        std::wstring infPath = key.substr(entry.DisplayName.size() + 2) + entry.FileName;
        // Only what lies below the plug-in folder, which is all the scan finds.
        if (IsRelativeInfPath(infPath)) plugins.push_back({std::move(infPath), entry.DisplayName, std::move(key)});
    }
    return plugins;
}

std::vector<PortablePlugin> PortablePluginsOf(const std::vector<std::wstring>& sortedKeys,
                                              const std::vector<CataloguePlugin>& catalogue)
{
    std::vector<PortablePlugin> plugins;
    for (const CataloguePlugin& plugin : catalogue)
        if (PresetHasKey(sortedKeys, plugin.key)) plugins.push_back({plugin.infPath, plugin.name});
    std::stable_sort(plugins.begin(), plugins.end(), [](const PortablePlugin& a, const PortablePlugin& b) {
        const int byName = CompareText(a.name, b.name);
        return byName != 0 ? byName < 0 : CompareText(a.infPath, b.infPath) < 0;
    });
    return plugins;
}

PluginMatch MatchPlugins(const std::vector<PortablePlugin>& plugins, const std::vector<CataloguePlugin>& catalogue)
{
    PluginMatch match;
    for (const PortablePlugin& plugin : plugins) {
        const CataloguePlugin* found = nullptr;
        for (const CataloguePlugin& c : catalogue)
            if (SameText(c.infPath, plugin.infPath) && SameText(c.name, plugin.name)) found = &c;
        if (!found) {
            // Moved: the one plug-in of that name, or several files of one key.
            for (const CataloguePlugin& c : catalogue) {
                if (!SameText(c.name, plugin.name)) continue;
                if (found && !SameText(found->key, c.key)) {
                    found = nullptr;
                    break;
                }
                found = &c;
            }
        }
        if (found)
            match.keys.push_back(found->key);
        else
            match.missing.push_back(plugin);
    }
    std::stable_sort(match.keys.begin(), match.keys.end(),
                     [](const std::wstring& a, const std::wstring& b) { return CompareText(a, b) < 0; });
    match.keys.erase(std::unique(match.keys.begin(), match.keys.end(),
                                 [](const std::wstring& a, const std::wstring& b) { return SameText(a, b); }),
                     match.keys.end());
    return match;
}

std::wstring MissingPluginLines(const std::vector<PortablePlugin>& missing, size_t maxLines)
{
    std::wstring lines;
    for (size_t i = 0; i < missing.size(); ++i) {
        if (i > 0) lines += L"\r\n";
        if (i == maxLines && missing.size() > maxLines + 1) {
            lines += L"  ... (+" + std::to_wstring(missing.size() - maxLines) + L")";
            break;
        }
        lines += L"  " + missing[i].name + L" (" + missing[i].infPath + L")";
    }
    return lines;
}

std::wstring PortablePath(std::wstring_view path, std::wstring_view peBuilderFolder)
{
    const std::wstring folder = ExcludeTrailingBackslash(peBuilderFolder);
    if (folder.empty()) return std::wstring(path);
    if (SameText(path, folder)) return kPEBuilderMark;
    if (StartsWithText(path, folder + L"\\")) return kPEBuilderMark + std::wstring(path.substr(folder.size()));
    return std::wstring(path);
}

std::wstring LocalPath(std::wstring_view portable, std::wstring_view peBuilderFolder)
{
    if (!portable.starts_with(kPEBuilderMark)) return std::wstring(portable);
    return ExcludeTrailingBackslash(peBuilderFolder) + std::wstring(portable.substr(kPEBuilderMark.size()));
}
