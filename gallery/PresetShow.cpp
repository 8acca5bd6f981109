// Shows the preset editor on the current profile, for screenshots of it on the demo
// installation (scripts/screenshot preset): the edit command on the named preset, or
// the add command without one, with the first plug-in selected.
//   presetshow [--seconds N] [--ready FILE] [PRESET]
// --seconds: closes the editor after N seconds; --ready: creates FILE once it shows.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/PresetCommands.h"
#include "core/Language.h"
#include "core/Messages.h"
#include "core/Registry.h"
#include "core/RegistryNames.h"
#include "core/Settings.h"
#include "core/StringTable.h"
#include "dialogs/preset.h"

namespace {

class ShowView : public MainFormView {
public:
    explicit ShowView(std::wstring preset) : preset_(std::move(preset)) {}
    HWND Owner() const override { return nullptr; }
    UserPrompt& Prompt() const override { return prompt_; }
    int SelectedIndex() const override { return preset_.empty() ? 0 : 1; }
    std::wstring SelectedText() const override { return preset_; }
    int FindEntry(const std::wstring&) const override { return -1; }
    void SelectEntry(int) override {}
    void ReloadPresetList() override {}
    void LB_Click() override {}
    void SetBuildButtonsEnabled(bool) override {}
    void SetPluginSortEnabled(bool) override {}

private:
    std::wstring preset_;
    mutable MessageBoxPrompt prompt_{nullptr};
};

UINT_PTR selectTimer = 0, closeTimer = 0;
std::wstring readyFile;

BOOL CALLBACK FindEditor(HWND window, LPARAM found)
{
    wchar_t name[32] = {};
    ::GetClassNameW(window, name, 32);
    if (std::wstring(name) != L"TPreset_Form") return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

HWND Editor()
{
    HWND editor = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindEditor, reinterpret_cast<LPARAM>(&editor));
    return editor;
}

void CALLBACK OnTimer(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND editor = Editor();
    if (!editor) return;
    ::KillTimer(nullptr, timer);
    if (timer == closeTimer) {
        ::PostMessageW(editor, WM_CLOSE, 0, 0);
    } else if (auto* form = dynamic_cast<TPreset_Form*>(Window::FromHandle(editor))) {
        ::SetForegroundWindow(editor);
        form->CLB1.Select(0);
        form->CLB_Click();
        ::RedrawWindow(editor, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        if (!readyFile.empty())
            ::CloseHandle(::CreateFileW(readyFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    std::vector<std::wstring> args(argv + 1, argv + argc);
    ::LocalFree(argv);
    int seconds = 0;
    std::wstring preset;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == L"--seconds" && i + 1 < args.size())
            seconds = std::stoi(args[++i]);
        else if (args[i] == L"--ready" && i + 1 < args.size())
            readyFile = args[++i];
        else
            preset = args[i];
    }

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    RunCommand(nullptr, [&] {
        InitLanguageFilePath();
        LoadStringTableFromLanguageFile();
        TCurrentSettings settings;
        LoadCurrentProfile(settings);
        ShowView view(preset);
        selectTimer = ::SetTimer(nullptr, 0, 300, OnTimer);
        if (seconds > 0) closeTimer = ::SetTimer(nullptr, 0, static_cast<UINT>(seconds) * 1000, OnTimer);
        if (preset.empty())
            Add_PresetExecute(view, settings);
        else
            Edit_PresetExecute(view, settings);
    });
    return 0;
}
