// Drives the profile chooser as a user would, in this process or in a started
// Kitwright.exe: the controls found by their kind and built-in captions, the text
// prompt answered by typing, message boxes read and answered.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct ChooserControls {
    HWND window = nullptr;
    HWND list = nullptr, add = nullptr, edit = nullptr, del = nullptr, start = nullptr, cancel = nullptr,
         check = nullptr;
};

// The chooser of the process once it shows (window class TProfile_Form), with its
// controls; window is null when none came.
ChooserControls WaitForChooser(DWORD processId);

std::vector<std::wstring> ListItems(HWND list);
int ListSelection(HWND list);
// Selects as a click would: the selection, then the list's notification.
void SelectItem(HWND list, int index);

// Posts a click (a click that opens a modal window must not block the sender).
void Press(HWND button);
// Waits until window has handled everything posted to it so far.
void Settle(HWND window);

// What a prompt or message box showed.
struct Shown {
    std::wstring caption, text;  // text: the prompt's initial text, or the box's message
};

// Waits for the text prompt, types text into it (replacing the selected initial text)
// and presses OK, or cancels; returns once the prompt is gone.
Shown AnswerPrompt(DWORD processId, const std::wstring& typed, bool ok = true);
// Waits for a message box and presses button (IDOK, IDYES, IDNO); returns once the
// box is gone. Both captions empty when no box came.
Shown AnswerMessageBox(DWORD processId, int button);
