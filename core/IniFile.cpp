// The INI routines on files.
#include "core/IniFile.h"

#include <windows.h>

#include "core/Error.h"

namespace {

BOOL CALLBACK RepaintWindow(HWND window, LPARAM)
{
    ::RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return TRUE;
}

}  // namespace

IniFile LoadIniFile(const std::wstring& path)
{
    IniFile file{path, {}, TextEncoding::Ansi};
    if (std::optional<std::string> bytes = TryReadFileBytes(path)) {
        file.encoding = DetectEncoding(*bytes);
        file.doc = IniDocument::Parse(DecodeText(*bytes, file.encoding));
    }
    return file;
}

namespace {

// The file's bytes as they are written; AppError for a value with a line break.
std::string SerializedIni(const IniFile& file)
{
    // A line break would end the line early and turn the rest into keys or sections of
    // their own, which could override any other setting of the file.
    if (std::optional<std::wstring> key = file.doc.FindLineBreak())
        throw AppError(L"Cannot write the file " + file.path + L"\r\nThe value of " + *key +
                       L" holds a line break. Nothing has been written.");
    return EncodeText(file.doc.Serialize(), file.encoding, file.path);
}

}  // namespace

void SaveIniFile(const IniFile& file)
{
    WriteFileAtomic(file.path, SerializedIni(file));
    RepaintWindows();
}

StagedFile StageIniFile(const IniFile& file)
{
    std::string bytes = SerializedIni(file);
    RemoveStagedLeftoversOf(file.path);
    return StagedFile(file.path, bytes);
}

IniDocument ReadIniDocument(const std::wstring& path)
{
    std::optional<std::wstring> text = ReadTextQuietly(path);
    return text ? IniDocument::Parse(*text) : IniDocument();
}

std::wstring ReadIniString(const std::wstring& path, const std::wstring& section, const std::wstring& key,
                           const std::wstring& def)
{
    return ReadIniDocument(path).ReadString(section, key, def);
}

int32_t ReadIniInteger(const std::wstring& path, const std::wstring& section, const std::wstring& key, int32_t def)
{
    return ReadIniDocument(path).ReadInteger(section, key, def);
}

void WriteIniString(const std::wstring& path, const std::wstring& section, const std::wstring& key,
                    const std::wstring& value)
{
    IniFile file = LoadIniFile(path);
    // A value already in place leaves the file alone: no write, no flush, no new date
    // for the programs that watch it.
    const std::wstring before = file.doc.Serialize();
    file.doc.WriteString(section, key, value);
    if (FileExists(path) && file.doc.Serialize() == before) {
        // A staged file that a killed earlier write left goes all the same.
        RemoveStagedLeftoversOf(path);
        return;
    }
    SaveIniFile(file);
}

void WriteIniInteger(const std::wstring& path, const std::wstring& section, const std::wstring& key, int32_t value)
{
    WriteIniString(path, section, key, std::to_wstring(value));
}

void RepaintWindows() { ::EnumThreadWindows(::GetCurrentThreadId(), RepaintWindow, 0); }
