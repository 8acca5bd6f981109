// The optional language file beside the executable (same name, extension ".rsl"):
// global texts from [Strings], and each window's fonts and captions.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "core/Handles.h"

// The executable's full path with the extension ".rsl"; computed at start-up.
extern const std::wstring& LanguageFile;
// Where the language file is looked for from now on; empty for none. Start-up sets it
// through InitLanguageFilePath; tests point it at files of their own.
void SetLanguageFile(std::wstring path);

// LanguageFile := the path beside the running executable, or beside exePath.
void InitLanguageFilePath();
void InitLanguageFilePath(const std::wstring& exePath);

// Fills the string table: built-in texts, then [Strings] of LanguageFile when it
// exists (UTF-8 or UTF-16 with a byte-order mark, else the ANSI code page). A file
// that cannot be read or is no INI text gives the built-in texts.
void LoadStringTableFromLanguageFile();

bool LanguageFileExists();

// A font as the language file describes it: character set from key "Charset"
// (default 128, Shift-JIS), face from "Name", size in points from "Size".
struct FontSpec {
    std::wstring name;
    int size = 9;
    int charset = SHIFTJIS_CHARSET;
};
// The defaults stand for every key that is missing, also when there is no file.
FontSpec ReadFontSpec(const std::wstring& section, const std::wstring& defaultName, int defaultSize);
// The size is converted to a height with the screen's logical pixels per inch.
FontHandle CreateFontFromSpec(const FontSpec& wanted);
// One font per distinct face, size and character set for the whole run, owned here: windows that are shown
// again and again share it rather than each leaking its own.
HFONT SharedFont(const FontSpec& wanted);

inline constexpr const wchar_t* kWindowFontName = L"ＭＳ Ｐゴシック";
inline constexpr int kWindowFontSize = 9;
inline constexpr const wchar_t* kListFontName = L"ＭＳ ゴシック";
inline constexpr int kListFontSize = 10;

// One caption of a window's section: a control's text (or the window's own), or
// whatever else carries a caption (a menu item, an action) through a setter.
struct CaptionBinding {
    CaptionBinding(HWND control, const wchar_t* key);
    CaptionBinding(const wchar_t* key, std::function<void(const std::wstring&)> setter);

    const wchar_t* key;  // "RS_001" in the window's section
    std::function<void(const std::wstring&)> apply;
};

// A name list whose font comes from a section of its own with the list defaults.
struct ListFont {
    HWND list;
    const wchar_t* section;  // "Font01" or "Font02"
};

// The window pattern, run once on a window's first show. Does nothing without a
// language file; otherwise sets the font of the window and of all its child controls
// from [Font01] ("ＭＳ Ｐゴシック", 9), each list's font from its own section with the
// list defaults ("ＭＳ ゴシック", 10), and every caption from section with the empty
// text as default. The window is sent WM_SETFONT like its controls: its class keeps
// the font and answers WM_GETFONT with it. Returns whether the file was there.
bool ApplyLanguageSection(HWND window, const std::wstring& section, const std::vector<CaptionBinding>& captions,
                          const std::vector<ListFont>& listFonts = {});

// One caption from a window section outside the first show (empty default unless
// given), only when the language file exists; otherwise def.
std::wstring ReadLanguageCaption(const std::wstring& section, const std::wstring& key, const std::wstring& def = L"");
