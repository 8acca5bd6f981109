// System error codes turned into the text of an AppError.
#include "core/WinError.h"

#include "core/Text.h"

std::wstring SystemMessage(DWORD code)
{
    wchar_t* buffer = nullptr;
    DWORD length =
        ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length ? TrimRight(std::wstring_view(buffer, length)) : std::wstring();
    if (buffer) ::LocalFree(buffer);
    // The number too: a message in the system's language may not survive every log.
    return (text.empty() ? L"System error" : text) + L" (" + std::to_wstring(code) + L")";
}

void ThrowSystemError(const std::wstring& what, DWORD code) { throw AppError(what + L"\r\n" + SystemMessage(code)); }
