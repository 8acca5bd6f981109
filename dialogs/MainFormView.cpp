// The main window's refresh after its profile's settings were loaded or changed.
#include "dialogs/MainFormView.h"

#include "core/Files.h"
#include "core/Settings.h"
#include "core/Shell.h"
#include "pebuilder/Installation.h"

void RefreshAfterSettingsChange(MainFormView& main, const TCurrentSettings& settings)
{
    std::wstring selected = main.SelectedText();
    main.ReloadPresetList();
    int index = main.FindEntry(selected);
    main.SelectEntry(index < 0 ? 0 : index);
    main.LB_Click();
    main.SetBuildButtonsEnabled(FileExists(PEBuilderExePath(settings.PEBuilder)));
    main.SetPluginSortEnabled(!IsNtfsVolume(settings.PEBuilder));
}
