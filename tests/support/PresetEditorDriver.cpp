// The preset editor's test installation, the stand-in main window and the user's input.
#include "tests/support/PresetEditorDriver.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/PresetCommands.h"
#include "core/Language.h"
#include "core/Registry.h"
#include "core/Text.h"
#include "pebuilder/Plugins.h"
#include "pebuilder/PresetStore.h"
#include "tests/support/DialogDriver.h"

namespace {

void WriteInf(const std::wstring& path, const std::wstring& name, int enable, const std::wstring& help = L"",
              const std::wstring& config = L"")
{
    std::wstring text = L"[Version]\r\nSignature=\"$Windows NT$\"\r\n\r\n[PEBuilder]\r\nName=\"" + name +
                        L"\"\r\nEnable=" + std::to_wstring(enable) + L"\r\n";
    if (!help.empty()) text += L"Help=" + help + L"\r\n";
    if (!config.empty()) text += L"Config=" + config + L"\r\n";
    WriteBytes(path, Ansi(text));
}

}  // namespace

PresetInstallation::PresetInstallation()
{
    EraseRegKey(kProgramKey);
    settings.ProfileKeySuffix = L"\\Test";
    settings.PEBuilder = Folder();
    const std::wstring plugins = PluginFolder();
    WriteInf(plugins + L"\\alpha\\alpha.inf", L"Alpha", 1, L"alpha.htm", L"cfg.exe,@PluginFile@");
    WriteBytes(plugins + L"\\alpha\\alpha.htm", "<p>Alpha</p>");
    WriteInf(plugins + L"\\net\\bravo\\bravo.inf", L"bravo", 0);
    WriteInf(plugins + L"\\charlie.inf", L"Charlie", 1);
    WriteInf(plugins + L"\\delta\\delta.inf", L"Delta", 1, L"missing.htm");
    WriteInf(plugins + L"\\echo\\echo.inf", L"Echo", 0);
}

std::wstring PresetInstallation::KeyOf(const std::wstring& displayName)
{
    static const std::pair<const wchar_t*, const wchar_t*> keys[] = {{L"Alpha", L"Alpha::alpha\\"},
                                                                     {L"bravo", L"bravo::net\\bravo\\"},
                                                                     {L"Charlie", L"Charlie::"},
                                                                     {L"Delta", L"Delta::delta\\"},
                                                                     {L"Echo", L"Echo::echo\\"}};
    for (auto [name, key] : keys)
        if (displayName == name) return key;
    ADD_FAILURE() << "no plug-in of that name";
    return L"";
}

std::wstring PresetInstallation::PresetKey(const std::wstring& name) const { return ::PresetKey(settings, name); }

std::vector<std::wstring> PresetInstallation::PresetValues(const std::wstring& name) const
{
    std::vector<std::wstring> lines;
    ListRegValues(PresetKey(name), lines);
    return lines;
}

std::vector<std::wstring> PresetInstallation::PresetNames() const
{
    std::vector<std::wstring> names;
    ListRegSubKeys(PresetsKey(settings), names);
    std::sort(names.begin(), names.end(), [](const auto& a, const auto& b) { return CompareText(a, b) < 0; });
    return names;
}

void PresetInstallation::MakePreset(const std::wstring& name, const std::vector<std::wstring>& displayNames,
                                    bool ownSettings) const
{
    std::vector<std::wstring> keys;
    for (const std::wstring& displayName : displayNames) keys.push_back(KeyOf(displayName));
    WritePluginValues(PresetKey(name), keys);
    if (ownSettings) WriteRegString(PresetKey(name) + L"\\PEBuilder", L"source", L"D:\\" + name + L"\\");
}

StandInMainView::StandInMainView(const TCurrentSettings& settings, UserPrompt& prompt)
    : settings_(settings), prompt_(prompt)
{
    ReloadPresetList();
    calls.clear();
}

void StandInMainView::Select(const std::wstring& text)
{
    selected = FindEntry(text);
    ASSERT_GE(selected, 0) << "no entry of that text";
}

std::wstring StandInMainView::SelectedText() const
{
    return selected >= 0 && static_cast<size_t>(selected) < entries.size() ? entries[selected] : L"";
}

int StandInMainView::FindEntry(const std::wstring& text) const
{
    for (size_t i = 0; i < entries.size(); ++i)
        if (SameText(entries[i], text)) return static_cast<int>(i);
    return -1;
}

void StandInMainView::SelectEntry(int index)
{
    selected = index;
    calls.push_back(L"SelectEntry " + std::to_wstring(index));
}

void StandInMainView::ReloadPresetList()
{
    std::vector<std::wstring> names;
    ListRegSubKeys(PresetsKey(settings_), names);
    std::sort(names.begin(), names.end(), [](const auto& a, const auto& b) { return CompareText(a, b) < 0; });
    entries = {L"[last build]"};
    entries.insert(entries.end(), names.begin(), names.end());
    selected = 0;
    calls.push_back(L"ReloadPresetList");
}

void StandInMainView::LB_Click() { calls.push_back(L"LB_Click"); }

void WithEditor(const std::function<void()>& show, const std::function<void(TPreset_Form&)>& act)
{
    DialogDriver driver(L"TPreset_Form", L"", [&](HWND window) {
        auto* editor = dynamic_cast<TPreset_Form*>(Window::FromHandle(window));
        if (!editor) {
            ADD_FAILURE() << "the window is no preset editor";
            ::PostMessageW(window, WM_CLOSE, 0, 0);
            return;
        }
        // The first show has run once the window is visible; let it finish its messages.
        ::SendMessageW(window, WM_NULL, 0, 0);
        act(*editor);
    });
    show();
    EXPECT_TRUE(driver.Acted()) << "no preset editor opened";
}

void TypeText(HWND edit, const std::wstring& text)
{
    ::SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(-1), -1);
    for (wchar_t c : text) ::SendMessageW(edit, WM_CHAR, c, 1);
}

void ReplaceText(HWND edit, const std::wstring& text)
{
    ::SendMessageW(edit, EM_SETSEL, 0, -1);
    ::SendMessageW(edit, WM_CHAR, VK_BACK, 1);
    for (wchar_t c : text) ::SendMessageW(edit, WM_CHAR, c, 1);
}

namespace {

// A click's two halves reach the list in one turn of the editor's thread, as the real
// mouse's do: were they sent one by one, the thread could take a mouse move from its queue
// between them (Wine makes one whenever a capture ends) while the list holds the capture,
// and the list would move its selection to wherever the real pointer happens to be.
const wchar_t kListProc[] = L"Kitwright.Test.ListProc";

UINT ClickMessage()
{
    static const UINT message = ::RegisterWindowMessageW(L"Kitwright.Test.Click");
    return message;
}

LRESULT CALLBACK ClickingListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto listProc = reinterpret_cast<WNDPROC>(::GetPropW(list, kListProc));
    if (message != ClickMessage()) return ::CallWindowProcW(listProc, list, message, wParam, lParam);
    ::CallWindowProcW(listProc, list, WM_LBUTTONDOWN, MK_LBUTTON, lParam);
    ::CallWindowProcW(listProc, list, WM_LBUTTONUP, 0, lParam);
    return 0;
}

void ClickAt(TPreset_Form& editor, size_t index, int x)
{
    HWND list = editor.CLB1.Handle();
    ::SendMessageW(list, LB_SETTOPINDEX, index, 0);
    RECT row{};
    ASSERT_NE(::SendMessageW(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&row)), LB_ERR);
    // The list's own procedure is kept as a property, and stays: a message already on
    // its way into ClickingListProc may still read it after the procedure is put back.
    auto listProc = reinterpret_cast<LONG_PTR>(::GetPropW(list, kListProc));
    if (!listProc) {
        listProc = ::GetWindowLongPtrW(list, GWLP_WNDPROC);
        ::SetPropW(list, kListProc, reinterpret_cast<HANDLE>(listProc));
    }
    ::SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ClickingListProc));
    ::SendMessageW(list, ClickMessage(), 0, MAKELPARAM(row.left + x, (row.top + row.bottom) / 2));
    ::SetWindowLongPtrW(list, GWLP_WNDPROC, listProc);
}

}  // namespace

void ClickCheckBox(TPreset_Form& editor, size_t index) { ClickAt(editor, index, 8); }

void ClickItemText(TPreset_Form& editor, size_t index) { ClickAt(editor, index, 60); }

void PressSpace(HWND control)
{
    ::SendMessageW(control, WM_KEYDOWN, VK_SPACE, 1);
    ::SendMessageW(control, WM_CHAR, L' ', 1);
    ::SendMessageW(control, WM_KEYUP, VK_SPACE, 0xC0000001);
}

void PostKey(HWND control, WPARAM key)
{
    ::PostMessageW(control, WM_KEYDOWN, key, 1);
    ::PostMessageW(control, WM_KEYUP, key, 0xC0000001);
}

void PostAccessKey(HWND control, wchar_t letter) { ::PostMessageW(control, WM_SYSCHAR, letter, 0x20000001); }

void PostClick(HWND button) { ::PostMessageW(button, BM_CLICK, 0, 0); }

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    for (DWORD waited = 0; waited < timeoutMs; waited += 10) {
        if (condition()) return true;
        ::Sleep(10);
    }
    return condition();
}

HWND FocusOf(HWND window)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

size_t IndexOf(const TPreset_Form& editor, const std::wstring& displayName)
{
    const StringList& items = editor.Catalogue();
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].Text == displayName) return i;
    ADD_FAILURE() << "no item of that name";
    return 0;
}

std::vector<std::wstring> CheckedNames(const TPreset_Form& editor)
{
    std::vector<std::wstring> names;
    for (size_t i = 0; i < editor.Catalogue().size(); ++i)
        if (editor.CLB1.Checked(i)) names.push_back(editor.Catalogue()[i].Text);
    return names;
}

bool Enabled(HWND control) { return ::IsWindowEnabled(control) != FALSE; }

void PresetEditorTest::SetUp() { SetLanguageFile(pe.Scratch(L"none.rsl")); }

void PresetEditorTest::TearDown() { EraseRegKey(kProgramKey); }

void PresetEditorTest::Add(const std::function<void(TPreset_Form&)>& act)
{
    WithEditor([&] { Add_PresetExecute(view, pe.settings); }, act);
}

void PresetEditorTest::Edit(const std::wstring& name, const std::function<void(TPreset_Form&)>& act)
{
    view.ReloadPresetList();
    view.Select(name);
    view.calls.clear();
    WithEditor([&] { Edit_PresetExecute(view, pe.settings); }, act);
}
