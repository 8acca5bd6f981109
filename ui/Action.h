// An action: one caption, one enabled state and one handler shared by the buttons and
// menu items linked to it, so that they always agree.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class Action {
public:
    Action(std::wstring caption, std::function<void()> onExecute, std::wstring shortcut = L"");
    Action(const Action&) = delete;
    Action& operator=(const Action&) = delete;

    // The control or item takes the action's caption and state at once.
    void LinkButton(HWND button);
    void LinkMenuItem(HMENU menu, int commandId);

    const std::wstring& Caption() const { return caption_; }
    void SetCaption(const std::wstring& caption);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    // Runs the handler when the action is enabled; true when it ran.
    bool Execute();

private:
    struct MenuItem {
        HMENU menu;
        int id;
    };
    void Update(HWND button) const;
    void Update(const MenuItem& item) const;

    std::wstring caption_, shortcut_;
    bool enabled_ = true;
    std::function<void()> onExecute_;
    std::vector<HWND> buttons_;
    std::vector<MenuItem> menuItems_;
};
