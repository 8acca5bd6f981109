// Message boxes, and the one path by which errors reach the user.
#include "core/Messages.h"

#include "core/Error.h"
#include "core/StringTable.h"

int ShowMessage(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags)
{
    return ::MessageBoxW(owner, text.c_str(), caption.c_str(), flags | MB_TASKMODAL | MB_SETFOREGROUND);
}

void ReportError(HWND owner, const std::exception& error)
{
    std::wstring text;
    if (auto* app = dynamic_cast<const AppError*>(&error)) {
        text = app->Message();
    } else if (dynamic_cast<const std::bad_alloc*>(&error)) {
        text = L"Out of memory.";
    } else {
        for (const char* p = error.what(); *p; ++p) text += static_cast<wchar_t>(static_cast<unsigned char>(*p));
    }
    ShowMessage(owner, text, Str(RS_100), MB_OK | MB_ICONERROR);
}

void MessageBoxPrompt::Error(const std::wstring& text) { ShowMessage(owner_, text, Str(RS_100), MB_OK | MB_ICONERROR); }

bool MessageBoxPrompt::Ask(const std::wstring& text, const std::wstring& caption)
{
    return ShowMessage(owner_, text, caption, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void MessageBoxPrompt::Inform(const std::wstring& text, const std::wstring& caption)
{
    ShowMessage(owner_, text, caption, MB_OK | MB_ICONINFORMATION);
}
