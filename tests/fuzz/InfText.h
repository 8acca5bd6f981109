// How the INF harnesses see a plug-in file: its byte-order mark, its code units in
// lines, and the text the INI reader (and so the catalogue) reads from it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/Ini.h"

struct InfUnits {
    std::string mark;     // the byte-order mark, kept as bytes
    std::u16string text;  // bytes, or 16-bit units after a UTF-16 mark
    std::string stray;    // the last odd byte of a UTF-16 file
};

inline InfUnits SplitInf(std::string_view bytes)
{
    InfUnits inf;
    bool little = bytes.substr(0, 2) == "\xFF\xFE", big = bytes.substr(0, 2) == "\xFE\xFF";
    if (little || big)
        inf.mark = bytes.substr(0, 2);
    else if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        inf.mark = bytes.substr(0, 3);
    bytes.remove_prefix(inf.mark.size());
    if (!little && !big) {
        for (unsigned char c : bytes) inf.text += static_cast<char16_t>(c);
        return inf;
    }
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        auto first = static_cast<unsigned char>(bytes[i]), second = static_cast<unsigned char>(bytes[i + 1]);
        inf.text += static_cast<char16_t>(little ? second << 8 | first : first << 8 | second);
    }
    if (bytes.size() % 2) inf.stray = bytes.substr(bytes.size() - 1);
    return inf;
}

// Lines end at CR LF, CR or LF; a final line end opens no further line.
inline std::vector<std::u16string> UnitLines(const std::u16string& text)
{
    std::vector<std::u16string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of(u"\r\n", start);
        if (end == std::u16string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
        if (end < text.size() && text[end] == u'\r' && start < text.size() && text[start] == u'\n') ++start;
    }
    return lines;
}

// The catalogue's reading of the file. A single-byte code page maps each byte to one
// character; the structure the reader looks at (brackets, "=", blanks) is ASCII.
inline IniDocument ReadInf(const InfUnits& inf)
{
    return IniDocument::Parse(std::wstring(inf.text.begin(), inf.text.end()));
}
