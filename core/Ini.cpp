// INI text: parse, look up, change, write.
#include "core/Ini.h"

#include "core/Text.h"
#include "core/TextCodec.h"

namespace {

// Blanks and control characters, as Trim removes them.
std::wstring_view TrimView(std::wstring_view text)
{
    while (!text.empty() && text.front() <= L' ') text.remove_prefix(1);
    while (!text.empty() && text.back() <= L' ') text.remove_suffix(1);
    return text;
}

}  // namespace

IniView IniView::Parse(std::wstring_view text)
{
    IniView view;
    // Room at once for the lines of a typical file, whose lines are a few dozen
    // characters long: one allocation per file, and one more per doubling beyond.
    view.entries_.reserve(text.size() / 24 + 8);
    view.sections_.reserve(8);
    const size_t size = text.size();
    size_t start = 0;
    while (start < size) {
        size_t end = start;
        while (end < size && text[end] != L'\r' && text[end] != L'\n') ++end;
        std::wstring_view line = TrimView(text.substr(start, end - start));
        start = end + 1;
        if (end < size && text[end] == L'\r' && start < size && text[start] == L'\n') ++start;

        if (line.empty() || line[0] == L';') continue;
        if (line.size() >= 2 && line.front() == L'[' && line.back() == L']') {
            if (!view.sections_.empty()) view.sections_.back().end = view.entries_.size();
            view.sections_.push_back({TrimView(line.substr(1, line.size() - 2)), view.entries_.size(), 0});
            continue;
        }
        if (view.sections_.empty()) continue;
        size_t equals = line.find(L'=');
        if (equals == std::wstring_view::npos) {
            view.entries_.push_back({line, {}, false});
        } else {
            view.entries_.push_back({TrimView(line.substr(0, equals)), TrimView(line.substr(equals + 1)), true});
        }
    }
    if (!view.sections_.empty()) view.sections_.back().end = view.entries_.size();
    return view;
}

std::optional<std::wstring_view> IniView::Find(std::wstring_view section, std::wstring_view key) const
{
    for (auto s = sections_.rbegin(); s != sections_.rend(); ++s) {
        if (!SameText(s->name, section)) continue;
        for (size_t i = s->end; i > s->first; --i) {
            const Entry& e = entries_[i - 1];
            if (e.hasValue && SameText(e.name, key)) return e.value;
        }
        return std::nullopt;
    }
    return std::nullopt;
}

std::wstring IniView::ReadString(std::wstring_view section, std::wstring_view key, std::wstring_view def) const
{
    return std::wstring(Find(section, key).value_or(def));
}

int32_t IniView::ReadInteger(std::wstring_view section, std::wstring_view key, int32_t def) const
{
    std::optional<std::wstring_view> value = Find(section, key);
    if (!value) return def;
    return ParseInteger(*value).value_or(def);
}

IniDocument IniDocument::Parse(std::wstring_view text)
{
    const IniView view = IniView::Parse(text);
    IniDocument doc;
    doc.sections_.reserve(view.sections_.size());
    for (const IniView::Section& s : view.sections_) {
        Section& section = doc.sections_.emplace_back(Section{std::wstring(s.name), {}});
        section.entries.reserve(s.end - s.first);
        for (size_t i = s.first; i < s.end; ++i) {
            const IniView::Entry& e = view.entries_[i];
            section.entries.push_back(
                {std::wstring(e.name), e.hasValue ? std::optional<std::wstring>(e.value) : std::nullopt});
        }
    }
    return doc;
}

const IniDocument::Section* IniDocument::FindSection(std::wstring_view name) const
{
    for (auto it = sections_.rbegin(); it != sections_.rend(); ++it) {
        if (SameText(it->name, name)) return &*it;
    }
    return nullptr;
}

const IniDocument::Entry* IniDocument::FindEntry(const Section& section, std::wstring_view key)
{
    for (auto it = section.entries.rbegin(); it != section.entries.rend(); ++it) {
        if (it->value && SameText(it->name, key)) return &*it;
    }
    return nullptr;
}

std::optional<std::wstring> IniDocument::Find(std::wstring_view section, std::wstring_view key) const
{
    const Section* s = FindSection(section);
    if (!s) return std::nullopt;
    const Entry* e = FindEntry(*s, key);
    if (!e) return std::nullopt;
    return e->value;
}

std::wstring IniDocument::ReadString(std::wstring_view section, std::wstring_view key, std::wstring_view def) const
{
    std::optional<std::wstring> value = Find(section, key);
    return value ? *value : std::wstring(def);
}

int32_t IniDocument::ReadInteger(std::wstring_view section, std::wstring_view key, int32_t def) const
{
    std::optional<std::wstring> value = Find(section, key);
    if (!value) return def;
    return ParseInteger(*value).value_or(def);
}

bool IniDocument::HasSection(std::wstring_view section) const { return FindSection(section) != nullptr; }

std::optional<std::wstring> IniDocument::FindLineBreak() const
{
    auto breaks = [](std::wstring_view text) { return text.find_first_of(L"\r\n") != std::wstring_view::npos; };
    for (const Section& s : sections_) {
        if (breaks(s.name)) return s.name;
        for (const Entry& e : s.entries) {
            if (breaks(e.name) || (e.value && breaks(*e.value))) return e.name;
        }
    }
    return std::nullopt;
}

void IniDocument::WriteString(std::wstring_view section, std::wstring_view key, std::wstring_view value)
{
    auto* s = const_cast<Section*>(FindSection(section));
    if (!s) {
        sections_.push_back({std::wstring(section), {}});
        s = &sections_.back();
    }
    if (auto* e = const_cast<Entry*>(FindEntry(*s, key))) {
        e->name = key;
        e->value = std::wstring(value);
        return;
    }
    s->entries.push_back({std::wstring(key), std::wstring(value)});
}

void IniDocument::WriteInteger(std::wstring_view section, std::wstring_view key, int32_t value)
{
    WriteString(section, key, std::to_wstring(value));
}

std::wstring IniDocument::Serialize() const
{
    std::wstring text;
    for (const Section& s : sections_) {
        text += L'[';
        text += s.name;
        text += L"]\r\n";
        for (const Entry& e : s.entries) {
            text += e.name;
            if (e.value) {
                text += L'=';
                text += *e.value;
            }
            text += L"\r\n";
        }
        text += L"\r\n";
    }
    return text;
}
