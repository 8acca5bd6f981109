// INI text: parse, look up, change, write.
#include "core/Ini.h"

#include "core/Text.h"

IniDocument IniDocument::Parse(std::wstring_view text)
{
    IniDocument doc;
    for (const std::wstring& raw : SplitLines(text)) {
        std::wstring line = Trim(raw);
        if (line.empty() || line[0] == L';') continue;
        if (line.size() >= 2 && line.front() == L'[' && line.back() == L']') {
            doc.sections_.push_back({Trim(std::wstring_view(line).substr(1, line.size() - 2)), {}});
            continue;
        }
        if (doc.sections_.empty()) continue;
        size_t equals = line.find(L'=');
        Entry entry;
        if (equals == std::wstring::npos) {
            entry.name = line;
        } else {
            entry.name = Trim(std::wstring_view(line).substr(0, equals));
            entry.value = Trim(std::wstring_view(line).substr(equals + 1));
        }
        doc.sections_.back().entries.push_back(std::move(entry));
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
