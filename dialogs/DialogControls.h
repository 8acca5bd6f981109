// Small readers and setters of standard controls that the dialogs share.
#pragma once

#include <windows.h>

#include <string>

inline bool Checked(HWND box) { return ::SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }
inline void SetChecked(HWND box, bool on) { ::SendMessageW(box, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }

inline std::wstring TextOf(HWND window)
{
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}
inline void SetText(HWND window, const std::wstring& text) { ::SetWindowTextW(window, text.c_str()); }
