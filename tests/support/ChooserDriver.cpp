// Drives the profile chooser as a user would.
#include "tests/support/ChooserDriver.h"

#include "tests/support/ProcessSupport.h"

namespace {

struct ChildSearch {
    const wchar_t* className;
    const wchar_t* text;  // null: any
    HWND found;
};

BOOL CALLBACK MatchChild(HWND child, LPARAM param)
{
    auto* search = reinterpret_cast<ChildSearch*>(param);
    wchar_t name[64] = {};
    ::GetClassNameW(child, name, 64);
    if (::lstrcmpiW(name, search->className) != 0) return TRUE;
    if (search->text && WindowText(child) != search->text) return TRUE;
    search->found = child;
    return FALSE;
}

// Any descendant, however deep (the list sits inside the group box).
HWND FindChild(HWND parent, const wchar_t* className, const wchar_t* text = nullptr)
{
    ChildSearch search{className, text, nullptr};
    ::EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void WaitUntilGone(HWND window)
{
    for (int i = 0; i < 2000 && ::IsWindow(window); ++i) ::Sleep(10);
}

}  // namespace

ChooserControls WaitForChooser(DWORD processId)
{
    ChooserControls c;
    c.window = WaitForWindow(processId, L"TProfile_Form");
    if (!c.window) return c;
    c.list = FindChild(c.window, L"ListBox");
    c.add = FindChild(c.window, L"Button", L"追加(&A)");
    c.edit = FindChild(c.window, L"Button", L"編集(&E)");
    c.del = FindChild(c.window, L"Button", L"削除(&D)");
    c.start = FindChild(c.window, L"Button", L"起動(&S)");
    c.cancel = FindChild(c.window, L"Button", L"キャンセル");
    c.check = FindChild(c.window, L"Button", L"起動時に表示しない");
    return c;
}

std::vector<std::wstring> ListItems(HWND list)
{
    std::vector<std::wstring> items;
    const LRESULT count = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        // The W message: the system marshals its text between processes.
        std::wstring text(static_cast<size_t>(::SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
        text.resize(static_cast<size_t>(::SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
        items.push_back(text);
    }
    return items;
}

int ListSelection(HWND list) { return static_cast<int>(::SendMessageW(list, LB_GETCURSEL, 0, 0)); }

void SelectItem(HWND list, int index)
{
    ::SendMessageW(list, LB_SETCURSEL, index, 0);
    ::SendMessageW(::GetParent(list), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(list), LBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(list));
}

void Press(HWND button) { ::PostMessageW(button, BM_CLICK, 0, 0); }

void Settle(HWND window)
{
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &ignored);
}

Shown AnswerPrompt(DWORD processId, const std::wstring& typed, bool ok)
{
    HWND prompt = WaitForWindow(processId, L"KitwrightInputText");
    if (!prompt) return {};
    HWND edit = FindChild(prompt, L"Edit");
    Shown shown{WindowText(prompt), WindowText(edit)};
    for (wchar_t c : typed) ::PostMessageW(edit, WM_CHAR, c, 1);
    Press(::GetDlgItem(prompt, ok ? IDOK : IDCANCEL));
    WaitUntilGone(prompt);
    return shown;
}

Shown AnswerMessageBox(DWORD processId, int button)
{
    HWND box = WaitForWindow(processId, L"#32770");
    if (!box) return {};
    Shown shown{WindowText(box), MessageBoxText(box)};
    ::PostMessageW(box, WM_COMMAND, button, 0);
    WaitUntilGone(box);
    return shown;
}
