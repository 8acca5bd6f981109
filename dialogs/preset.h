// The preset editor: the name of a preset and the plug-ins it enables, ticked in a check
// list of the installation's plug-ins, with each plug-in's help file, INF file, folder
// and configuration program at hand. Apply keeps the ticks so that they survive Cancel.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "core/ListItems.h"
#include "core/Settings.h"
#include "ui/CheckListBox.h"
#include "ui/Form.h"

class TPreset_Form : public ModalForm {
public:
    explicit TPreset_Form(const TCurrentSettings& settings);
    ~TPreset_Form() override;

    // Set by the preset command before the show: false for a new preset.
    bool EditMode = false;
    // Read after the show. Applied: an Apply stored a selection while the editor was
    // open, under the name AppliedName that it checked then.
    bool Applied = false;
    std::wstring AppliedName;
    // ED01 as it was at the show, in edit mode: the preset's stored name.
    std::wstring OriginalName;

    // The plug-in catalogue as CLB1's items, sorted by display name without regard to
    // case; the items own the entries. Needs the window (CreateHandle).
    void SetCatalogue(StringList catalogue);
    const StringList& Catalogue() const { return catalogue_; }
    std::wstring PresetName() const;
    void SetPresetName(const std::wstring& name);
    // The plug-in keys of the ticked items, in the list's order.
    std::vector<std::wstring> CheckedPluginKeys() const;

    // The handlers, named after their controls.
    void LoadCheckStates();
    void CLB_Click();
    void CLB1ClickCheck();
    void ED01Change();
    bool ValidatePresetName();
    void Button1Click();   // flip the selected item's tick
    void Button2Click();   // Apply
    void Button4Click();   // the help file
    void Button5Click();   // Plugin Builder
    void Button6Click();   // the text editor
    void Button7Click();   // reload the catalogue
    void Button8Click();   // the plug-in's folder
    void Button10Click();  // the plug-in's configuration program

    Panel Panel1;
    HWND Bevel1 = nullptr, Label1 = nullptr, ED01 = nullptr, Label2 = nullptr;
    TCheckListBox CLB1;
    HWND Button1 = nullptr, Button2 = nullptr, Button3 = nullptr, Button4 = nullptr, Button5 = nullptr,
         Button6 = nullptr, Button7 = nullptr, Button8 = nullptr, Button9 = nullptr, Button10 = nullptr;

protected:
    void FormCreate() override;
    void FormShow() override;
    bool FormCloseQuery() override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // The entry of the selected item, or null.
    const TDataStruct* SelectedEntry() const;
    // Refuses the name: the focus to ED01, then the error box.
    bool RefuseName(const std::wstring& message);
    // Runs a handler; an error it raises is shown over the editor, which stays open.
    template <typename Handler>
    void Guarded(Handler&& handler);

    class Bevel;

    const TCurrentSettings& settings_;
    StringList catalogue_;
    std::unique_ptr<Bevel> bevel_;
};
