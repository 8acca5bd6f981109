// Add, edit and delete a preset.
#include "app/PresetCommands.h"

#include "core/Messages.h"
#include "core/StringTable.h"
#include "dialogs/preset.h"
#include "pebuilder/Installation.h"
#include "pebuilder/Plugins.h"
#include "pebuilder/PresetStore.h"

void OpenPresetEditor(MainFormView& main, const TCurrentSettings& settings, bool editExisting)
{
    const int selectedIndex = main.SelectedIndex();
    const std::wstring selected = main.SelectedText();
    if (editExisting && (selectedIndex <= 0 || selected.empty())) return;
    // What this process's last editor, or an instance that has ended, left must not be
    // taken for this editor's Apply; what running instances hold stays theirs.
    CleanUpTransientKeys();

    TPreset_Form editor(settings);
    editor.EditMode = editExisting;
    editor.CreateHandle(main.Owner());
    StringList catalogue;
    ScanPluginFolder(PluginFolderPath(settings.PEBuilder), catalogue);
    editor.SetCatalogue(std::move(catalogue));
    if (editExisting) editor.SetPresetName(selected);
    WritePluginBuilderSourcePath(settings, selectedIndex, selected);

    const INT_PTR result = editor.ShowModal(main.Owner());
    const std::wstring oldName = editExisting ? selected : L"";
    std::wstring stored;
    if (result == mrOk) {
        stored = editor.PresetName();
        SavePreset(settings, oldName, stored, editor.CheckedPluginKeys());
    } else if (editor.Applied) {
        // A name typed after the last Apply was never checked: the Apply's name counts.
        stored = editor.AppliedName;
        SaveAppliedSelection(settings, oldName, stored);
    } else {
        return;
    }
    ReloadAndSelect(main, stored);
}

void Add_PresetExecute(MainFormView& main, const TCurrentSettings& settings)
{
    OpenPresetEditor(main, settings, false);
}

void Edit_PresetExecute(MainFormView& main, const TCurrentSettings& settings)
{
    OpenPresetEditor(main, settings, true);
}

void Delete_PresetExecute(MainFormView& main, const TCurrentSettings& settings)
{
    if (main.SelectedIndex() <= 0) return;
    if (!main.Prompt().Ask(Str(RS_008), Str(RS_101))) return;
    DeletePreset(settings, main.SelectedText());
    main.ReloadPresetList();
    main.LB_Click();
}
