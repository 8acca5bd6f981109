// INI text as the language file, input.inf and Plugin_Builder.ini use it: parsed
// whole, looked up without regard to case (the last section and the last key of a
// name count), changed in memory and written back in one normalised layout.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A reading of INI text by the rules below that refers into the text rather than
// copying it, for readers that only look values up (the catalogue reads thousands of
// INF files). The text must outlive the view.
class IniView {
public:
    static IniView Parse(std::wstring_view text);

    std::optional<std::wstring_view> Find(std::wstring_view section, std::wstring_view key) const;
    std::wstring ReadString(std::wstring_view section, std::wstring_view key, std::wstring_view def) const;
    int32_t ReadInteger(std::wstring_view section, std::wstring_view key, int32_t def) const;

private:
    friend class IniDocument;
    struct Entry {
        std::wstring_view name;  // the key, or the whole line without "="
        std::wstring_view value;
        bool hasValue;
    };
    struct Section {
        std::wstring_view name;
        size_t first, end;  // its entries in entries_
    };

    std::vector<Section> sections_;
    std::vector<Entry> entries_;
};

class IniDocument {
public:
    IniDocument() = default;

    // Lines end with CR LF, LF or CR and are trimmed of blanks and control characters;
    // empty lines, ";" comments and lines before the first section are dropped.
    static IniDocument Parse(std::wstring_view text);

    // The value of the key, or nothing when the section or the key is missing.
    std::optional<std::wstring> Find(std::wstring_view section, std::wstring_view key) const;
    std::wstring ReadString(std::wstring_view section, std::wstring_view key, std::wstring_view def) const;
    // Decimal, or hexadecimal after "0x", "0X" or "$"; anything else gives def.
    int32_t ReadInteger(std::wstring_view section, std::wstring_view key, int32_t def) const;

    // Replaces the key's last line in the section's last occurrence, or appends the
    // line name=value to the section, or a new section at the end.
    void WriteString(std::wstring_view section, std::wstring_view key, std::wstring_view value);
    void WriteInteger(std::wstring_view section, std::wstring_view key, int32_t value);

    bool HasSection(std::wstring_view section) const;

    // The first key or section name, or value, that holds a line break and so would
    // come back as lines of their own; nothing when the document can be written.
    std::optional<std::wstring> FindLineBreak() const;

    // Each section as "[name]", its lines and one empty line; every line ends in CR LF.
    std::wstring Serialize() const;

private:
    struct Entry {
        std::wstring name;                  // the key, or the whole line without "="
        std::optional<std::wstring> value;  // nothing for a line without "="
    };
    struct Section {
        std::wstring name;
        std::vector<Entry> entries;
    };

    const Section* FindSection(std::wstring_view name) const;
    static const Entry* FindEntry(const Section& section, std::wstring_view key);

    std::vector<Section> sections_;
};
