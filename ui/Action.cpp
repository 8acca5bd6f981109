// Actions: caption and enabled state pushed to every linked button and menu item.
#include "ui/Action.h"

#include <utility>

#include "ui/Focus.h"

namespace {

// Whether the window shows that text; answered by the window itself, in this process.
bool HasText(HWND window, const std::wstring& text)
{
    const int length = ::GetWindowTextLengthW(window);
    if (length != static_cast<int>(text.size())) return false;
    std::wstring current(text.size() + 1, L'\0');
    current.resize(static_cast<size_t>(::GetWindowTextW(window, current.data(), length + 1)));
    return current == text;
}

}  // namespace

Action::Action(std::wstring caption, std::function<void()> onExecute, std::wstring shortcut)
    : caption_(std::move(caption)), shortcut_(std::move(shortcut)), onExecute_(std::move(onExecute))
{
}

void Action::LinkButton(HWND button)
{
    buttons_.push_back(button);
    Update(button);
}

void Action::LinkMenuItem(HMENU menu, int commandId)
{
    menuItems_.push_back({menu, commandId});
    Update(menuItems_.back());
}

void Action::SetCaption(const std::wstring& caption)
{
    caption_ = caption;
    for (HWND button : buttons_) Update(button);
    for (const MenuItem& item : menuItems_) Update(item);
}

void Action::SetEnabled(bool enabled)
{
    enabled_ = enabled;
    for (HWND button : buttons_) Update(button);
    for (const MenuItem& item : menuItems_) Update(item);
}

bool Action::Execute()
{
    if (!enabled_ || !onExecute_) return false;
    onExecute_();
    return true;
}

void Action::Update(HWND button) const
{
    // Only a caption that changes is set: the same text again would still be sent to
    // the window manager and repaint the button.
    if (!HasText(button, caption_)) ::SetWindowTextW(button, caption_.c_str());
    EnableControl(button, enabled_);
}

void Action::Update(const MenuItem& item) const
{
    // A menu shows the shortcut right-aligned after a tab.
    std::wstring text = shortcut_.empty() ? caption_ : caption_ + L"\t" + shortcut_;
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = text.data();
    ::SetMenuItemInfoW(item.menu, static_cast<UINT>(item.id), FALSE, &info);
    ::EnableMenuItem(item.menu, static_cast<UINT>(item.id), MF_BYCOMMAND | (enabled_ ? MF_ENABLED : MF_GRAYED));
}
