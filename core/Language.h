// The optional language file beside the executable (same name, extension ".rsl"):
// global texts from [Strings], and each window's fonts and captions.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

// The executable's full path with the extension ".rsl"; computed at start-up.
extern std::wstring LanguageFile;

// LanguageFile := the path beside the running executable.
void InitLanguageFilePath();

// Fills the string table: built-in texts, then [Strings] of LanguageFile when it
// exists (UTF-8 or UTF-16 with a byte-order mark, else the ANSI code page).
void LoadStringTableFromLanguageFile();

bool LanguageFileExists();

// A font as the language file describes it: character set from key "Charset"
// (default 128, Shift-JIS), face from "Name", size in points from "Size".
struct FontSpec {
    std::wstring name;
    int size = 9;
    int charset = 128;
};
FontSpec ReadFontSpec(const std::wstring& section, const std::wstring& defaultName, int defaultSize);
// A font for windows of this thread; the caller owns the handle.
HFONT CreateFontFromSpec(const FontSpec& spec);

// What one window applies from the language file, once, on its first show.
struct CaptionBinding {
    HWND control;         // a control, or the window itself
    const wchar_t* key;   // "RS_001" in the window's section
};

// The window pattern. Does nothing without a language file; otherwise sets the
// window's font from [Font01] ("ＭＳ Ｐゴシック", 9), each list's font from its own
// section with the list defaults ("ＭＳ ゴシック", 10), and every caption from
// section with the empty text as default. Fonts made here live as long as the
// process (a window applies them once).
void ApplyLanguageSection(HWND window, const std::wstring& section, std::initializer_list<CaptionBinding> captions,
                          std::initializer_list<std::pair<HWND, const wchar_t*>> listFonts = {});

// One caption from a window section outside the first show (empty default unless
// given), only when the language file exists; otherwise def.
std::wstring ReadLanguageCaption(const std::wstring& section, const std::wstring& key, const std::wstring& def = L"");
