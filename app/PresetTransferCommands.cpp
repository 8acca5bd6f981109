// Export and import of preset files from the main window.
#include "app/PresetTransferCommands.h"

#include <windows.h>
#include <commdlg.h>

#include <algorithm>

#include "core/Shell.h"
#include "core/StringTable.h"
#include "core/Text.h"
#include "pebuilder/InputSettings.h"
#include "pebuilder/ProgramSettings.h"
#include "pebuilder/PresetTransfer.h"
#include "ui/InputDialog.h"

namespace {

// The preset's name as a file name: the characters no file name may hold become "_".
std::wstring FileNameOf(const std::wstring& presetName)
{
    std::wstring name = presetName;
    for (wchar_t& c : name)
        if (c < 0x20 || std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos) c = L'_';
    return name + L"." + kPresetFileExtension;
}

// The common file dialog; the chosen file, or "" after Cancel.
std::wstring AskFile(HWND owner, bool save, const std::wstring& initialName)
{
    const std::wstring filter = FileDialogFilter(Str(RS_703));
    const std::wstring& title = Str(save ? RS_701 : RS_702);
    std::wstring file(32768, L'\0');
    initialName.copy(file.data(), std::min(initialName.size(), file.size() - 1));
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrTitle = title.c_str();
    dialog.lpstrDefExt = kPresetFileExtension.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST |
                   (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    EnsureOle();  // the dialog shows the shell's namespace
    if (!(save ? ::GetSaveFileNameW(&dialog) : ::GetOpenFileNameW(&dialog))) return L"";
    file.resize(file.find(L'\0'));
    return file;
}

}  // namespace

void Export_PresetExecute(MainFormView& main, const TCurrentSettings& settings)
{
    if (main.SelectedIndex() <= 0) return;
    const std::wstring preset = main.SelectedText();
    const std::wstring file = AskFile(main.Owner(), true, FileNameOf(preset));
    if (!file.empty()) ExportPreset(settings, preset, file);
}

void Import_PresetExecute(MainFormView& main, const TCurrentSettings& settings)
{
    const std::wstring file = AskFile(main.Owner(), false, L"");
    if (file.empty()) return;
    UserPrompt& prompt = main.Prompt();
    ImportPresetFile(main, settings, file, prompt, [](const std::wstring& text, std::wstring& name) {
        return InputTextDialog(Str(RS_702), text, name);
    });
}

bool ImportPresetFile(MainFormView& main, const TCurrentSettings& settings, const std::wstring& file,
                      UserPrompt& prompt, const NameAsker& askName)
{
    ImportPlan plan = PlanImport(settings, ReadPresetFile(file));
    // A message box holds a screenful; the rest are counted.
    const std::wstring missing = Str(RS_708) + L"\r\n" + MissingPluginLines(plan.missing, 20);
    if (plan.Empty()) {
        prompt.Error(plan.missing.empty() ? Str(RS_715) : missing);
        return false;
    }
    if (!plan.missing.empty() && !prompt.Ask(missing + L"\r\n" + Str(RS_709), Str(RS_702))) return false;
    for (ImportNameCheck check; (check = CheckImportName(settings, plan.name)) != ImportNameCheck::Ok;) {
        const std::wstring reason = Str(check == ImportNameCheck::Invalid ? RS_302 : RS_303);
        if (!askName(reason + L"\r\n" + Str(RS_710), plan.name)) return false;
        plan.name = Trim(plan.name);
    }
    StoreImport(settings, plan);
    ReloadAndSelect(main, plan.name);
    return true;
}
