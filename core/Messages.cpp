// Message boxes, and the one path by which errors reach the user.
#include "core/Messages.h"

#include "core/Error.h"
#include "core/StringTable.h"

#include <utility>

namespace {

UserPrompt* promptOverride = nullptr;

}  // namespace

ScopedPromptOverride::ScopedPromptOverride(UserPrompt& answerer) : previous_(std::exchange(promptOverride, &answerer))
{
}

ScopedPromptOverride::~ScopedPromptOverride() { promptOverride = previous_; }

int ShowMessage(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags)
{
    if (!promptOverride)
        return ::MessageBoxW(owner, text.c_str(), caption.c_str(), flags | MB_TASKMODAL | MB_SETFOREGROUND);
    if ((flags & MB_ICONMASK) == MB_ICONERROR) {
        promptOverride->Error(text);
        return IDOK;
    }
    if ((flags & MB_TYPEMASK) == MB_YESNO) return promptOverride->Ask(text, caption) ? IDYES : IDNO;
    promptOverride->Inform(text, caption);
    return IDOK;
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
