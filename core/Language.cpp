// The language file: its path, the string table it fills, and the fonts and captions
// each window takes from it on its first show.
#include "core/Language.h"

#include <map>
#include <optional>
#include <tuple>
#include <utility>

#include "core/Error.h"
#include "core/Files.h"
#include "core/FontSize.h"
#include "core/Ini.h"
#include "core/StringTable.h"
#include "core/Text.h"
#include "core/WinError.h"

namespace {

std::wstring languageFile;

}  // namespace

const std::wstring& LanguageFile = languageFile;

namespace {

// A language file holds a few kilobytes of text. Anything far larger is not one, and
// decoding it whole could exhaust a 32-bit process, so it counts as an empty file.
constexpr ULONGLONG kMaxLanguageFileSize = 16u << 20;

// The parsed file, read whole on every call; nothing when there is no file. A file
// that is too large or cannot be read parses as empty: its keys take their defaults.
std::optional<IniDocument> ReadLanguageDocument()
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (LanguageFile.empty() || !::GetFileAttributesExW(LanguageFile.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    ULONGLONG size = static_cast<ULONGLONG>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
    if (size > kMaxLanguageFileSize) return IniDocument();
    std::optional<std::wstring> text = ReadTextQuietly(LanguageFile);
    return text ? IniDocument::Parse(*text) : IniDocument();
}

FontSpec ReadFontSpec(const IniDocument* doc, const std::wstring& section, const std::wstring& defaultName,
                      int defaultSize)
{
    FontSpec wanted{defaultName, defaultSize, SHIFTJIS_CHARSET};
    if (!doc) return wanted;
    wanted.name = doc->ReadString(section, L"Name", defaultName);
    wanted.size = BoundedFontSize(doc->ReadInteger(section, L"Size", defaultSize), defaultSize);
    int charset = doc->ReadInteger(section, L"Charset", SHIFTJIS_CHARSET);
    if (charset >= 0 && charset <= 255) wanted.charset = charset;
    return wanted;
}

BOOL CALLBACK SetChildFont(HWND child, LPARAM font)
{
    ::SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
    return TRUE;
}

void SetFontOfTree(HWND window, HFONT font)
{
    ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    ::EnumChildWindows(window, SetChildFont, reinterpret_cast<LPARAM>(font));
}

}  // namespace

void SetLanguageFile(std::wstring path) { languageFile = std::move(path); }

void InitLanguageFilePath(const std::wstring& exePath) { SetLanguageFile(ChangeFileExt(exePath, L".rsl")); }

void InitLanguageFilePath() { InitLanguageFilePath(ExecutablePath()); }

void LoadStringTableFromLanguageFile()
{
    std::optional<IniDocument> doc = ReadLanguageDocument();
    StringTable::Load(doc ? &*doc : nullptr);
}

bool LanguageFileExists() { return !LanguageFile.empty() && FileExists(LanguageFile); }

FontSpec ReadFontSpec(const std::wstring& section, const std::wstring& defaultName, int defaultSize)
{
    std::optional<IniDocument> doc = ReadLanguageDocument();
    return ReadFontSpec(doc ? &*doc : nullptr, section, defaultName, defaultSize);
}

FontHandle CreateFontFromSpec(const FontSpec& wanted)
{
    int pixelsPerInch = ::GetDeviceCaps(ScreenContext().Get(), LOGPIXELSY);
    if (pixelsPerInch <= 0) pixelsPerInch = 96;  // no screen to ask
    LOGFONTW font{};
    // A negative height asks for the character height without the internal leading,
    // which is what a size in points measures.
    font.lfHeight = -::MulDiv(wanted.size, pixelsPerInch, 72);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = static_cast<BYTE>(wanted.charset);
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    ::lstrcpynW(font.lfFaceName, wanted.name.c_str(), LF_FACESIZE);
    FontHandle handle(::CreateFontIndirectW(&font));
    if (!handle) throw AppError(L"Cannot create the font " + wanted.name + L" of size " + std::to_wstring(wanted.size));
    return handle;
}

HFONT SharedFont(const FontSpec& wanted)
{
    // Process lifetime on purpose: a window does not own the font it is given, and a
    // dialog shown for the tenth time must reuse the font of its first show.
    static std::map<std::tuple<std::wstring, int, int>, FontHandle> fonts;
    auto key = std::make_tuple(wanted.name, wanted.size, wanted.charset);
    auto found = fonts.find(key);
    if (found == fonts.end()) found = fonts.emplace(key, CreateFontFromSpec(wanted)).first;
    return found->second.Get();
}

CaptionBinding::CaptionBinding(HWND control, const wchar_t* key)
    : key(key), apply([control](const std::wstring& text) { ::SetWindowTextW(control, text.c_str()); })
{
}

CaptionBinding::CaptionBinding(const wchar_t* key, std::function<void(const std::wstring&)> setter)
    : key(key), apply(std::move(setter))
{
}

bool ApplyLanguageSection(HWND window, const std::wstring& section, const std::vector<CaptionBinding>& captions,
                          const std::vector<ListFont>& listFonts)
{
    std::optional<IniDocument> doc = ReadLanguageDocument();
    if (!doc) return false;
    SetFontOfTree(window, SharedFont(ReadFontSpec(&*doc, L"Font01", kWindowFontName, kWindowFontSize)));
    for (const ListFont& list : listFonts) {
        HFONT font = SharedFont(ReadFontSpec(&*doc, list.section, kListFontName, kListFontSize));
        ::SendMessageW(list.list, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    for (const CaptionBinding& caption : captions) caption.apply(doc->ReadString(section, caption.key, L""));
    return true;
}

std::wstring ReadLanguageCaption(const std::wstring& section, const std::wstring& key, const std::wstring& def)
{
    std::optional<IniDocument> doc = ReadLanguageDocument();
    return doc ? doc->ReadString(section, key, def) : def;
}
