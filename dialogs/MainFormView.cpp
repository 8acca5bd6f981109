// The main window's refresh after its profile's settings were loaded or changed.
#include "dialogs/MainFormView.h"

#include "core/Files.h"
#include "core/Settings.h"
#include "core/Shell.h"
#include "pebuilder/Installation.h"

void ReloadAndSelect(MainFormView& main, const std::wstring& entry)
{
    main.ReloadPresetList();
    const int index = main.FindEntry(entry);
    main.SelectEntry(index < 0 ? 0 : index);
    main.LB_Click();
}

void RefreshAfterSettingsChange(MainFormView& main, const TCurrentSettings& settings)
{
    ReloadAndSelect(main, main.SelectedText());
    main.SetBuildButtonsEnabled(FileExists(PEBuilderExePath(settings.PEBuilder)));
    main.SetPluginSortEnabled(!IsNtfsVolume(settings.PEBuilder));
}
