// Message boxes, and the one path by which errors reach the user.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <string>
#include <utility>

// Every message box of the program: owned by owner, task-modal, brought to the
// foreground; flags add the buttons and the icon. Returns the button chosen. While a
// ScopedPromptOverride is in place its answerer takes the message instead: errors
// (MB_ICONERROR) as Error, Yes/No boxes as Ask, the rest as Inform.
int ShowMessage(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags);

// The application's handler for errors that end a command: shows the error's message
// in an error box (caption [Strings] RS_100) and returns; the program goes on.
void ReportError(HWND owner, const std::exception& error);

// Runs one command and reports any error it raises; true when it ended normally.
template <typename Command>
bool RunCommand(HWND owner, Command&& command)
{
    try {
        command();
        return true;
    } catch (const std::exception& error) {
        ReportError(owner, error);
    } catch (...) {
        ReportError(owner, std::exception());
    }
    return false;
}

// How a command or a window talks to the user: real message boxes in the program, a
// scripted answerer in tests. A window asks through its form's Prompt() (ui/Form.h),
// a command through the prompt it is handed or its view's Prompt()
// (dialogs/MainFormView.h).
class UserPrompt {
public:
    virtual ~UserPrompt() = default;
    // An error box: caption [Strings] RS_100, OK, error icon.
    virtual void Error(const std::wstring& text) = 0;
    // A Yes/No question with the question icon; true only for Yes.
    virtual bool Ask(const std::wstring& text, const std::wstring& caption) = 0;
    // A notice with the information icon and OK.
    virtual void Inform(const std::wstring& text, const std::wstring& caption) = 0;
};

// Replaces the real message boxes of the whole process by answerer for its lifetime;
// overrides nest. Only for tests that reach no prompt of their own: a dialog that a
// command makes and frees, an error reported outside any window.
class ScopedPromptOverride {
public:
    explicit ScopedPromptOverride(UserPrompt& answerer);
    ~ScopedPromptOverride();
    ScopedPromptOverride(const ScopedPromptOverride&) = delete;
    ScopedPromptOverride& operator=(const ScopedPromptOverride&) = delete;

private:
    UserPrompt* previous_;
};

class MessageBoxPrompt : public UserPrompt {
public:
    explicit MessageBoxPrompt(HWND owner) : owner_(owner) {}
    void Error(const std::wstring& text) override;
    bool Ask(const std::wstring& text, const std::wstring& caption) override;
    void Inform(const std::wstring& text, const std::wstring& caption) override;

private:
    HWND owner_;
};

// The message boxes of a window that is made after its prompt: each message is owned
// by the window the handle names at that moment.
class WindowPrompt : public UserPrompt {
public:
    explicit WindowPrompt(std::function<HWND()> owner) : owner_(std::move(owner)) {}
    void Error(const std::wstring& text) override { MessageBoxPrompt(owner_()).Error(text); }
    bool Ask(const std::wstring& text, const std::wstring& caption) override
    {
        return MessageBoxPrompt(owner_()).Ask(text, caption);
    }
    void Inform(const std::wstring& text, const std::wstring& caption) override
    {
        MessageBoxPrompt(owner_()).Inform(text, caption);
    }

private:
    std::function<HWND()> owner_;
};
