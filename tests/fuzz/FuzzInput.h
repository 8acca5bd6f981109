// Shared pieces of the fuzz harnesses: fuzzer bytes turned into the program's text,
// and the one way a harness reports a broken property.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

// UTF-8 sequences of up to three bytes become one character, so the harnesses reach
// the case folding of Greek, Cyrillic and full-width letters; every other byte stands
// for the character of its own value, as a single-byte code page would read it.
inline std::wstring WideFromBytes(std::string_view bytes)
{
    std::wstring text;
    size_t i = 0;
    auto trail = [&](size_t at) { return at < bytes.size() && (static_cast<unsigned char>(bytes[at]) & 0xC0) == 0x80; };
    while (i < bytes.size()) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c >= 0xC2 && c <= 0xDF && trail(i + 1)) {
            text += static_cast<wchar_t>((c & 0x1F) << 6 | (bytes[i + 1] & 0x3F));
            i += 2;
        } else if (c >= 0xE0 && c <= 0xEF && trail(i + 1) && trail(i + 2)) {
            text += static_cast<wchar_t>((c & 0x0F) << 12 | (bytes[i + 1] & 0x3F) << 6 | (bytes[i + 2] & 0x3F));
            i += 3;
        } else {
            text += static_cast<wchar_t>(c);
            ++i;
        }
    }
    return text;
}

// One field of the input: its text runs to a backslash followed by any other
// character ("\\" stands for one backslash), so seed files stay readable.
inline std::wstring ConsumeText(FuzzedDataProvider& in, size_t maxLength)
{
    return WideFromBytes(in.ConsumeRandomLengthString(maxLength));
}

inline bool HasLineEnd(std::wstring_view text) { return text.find_first_of(L"\r\n") != std::wstring_view::npos; }

// A broken property stops the run like a crash, so libFuzzer keeps the input.
inline void Require(bool holds, const char* property)
{
    if (holds) return;
    std::fprintf(stderr, "property broken: %s\n", property);
    std::abort();
}
