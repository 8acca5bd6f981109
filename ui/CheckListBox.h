// A check list: an owner-drawn list box whose items each carry a tick, drawn as a check
// box before the item's text. A click on the box and the space key flip the tick and
// report it as the user's change; ticks the program sets are not reported. Filled in
// one batch, so that thousands of items show at once.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/Window.h"

class TCheckListBox : public Window {
public:
    static constexpr const wchar_t* kClassName = L"KitwrightCheckList";
    // The list box styles the check list needs; a form adds them to its control.
    static constexpr DWORD kStyle =
        LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP;

    // The next window of kClassName that this thread creates (Form::Add) becomes this
    // list. Its parent must pass WM_MEASUREITEM and WM_DRAWITEM on to it.
    void BindNext();

    // Every item at once, in this order, all unticked, none selected; one repaint.
    void SetItems(const std::vector<std::wstring>& texts);
    size_t Count() const { return checked_.size(); }
    bool Checked(size_t index) const { return index < checked_.size() && checked_[index]; }
    void SetChecked(size_t index, bool checked);
    // The selected item, or -1.
    int Selected() const;
    void Select(int index);
    // Redraws wait until the outermost EndUpdate.
    void BeginUpdate();
    void EndUpdate();

    // The user flipped the tick of the item.
    std::function<void(size_t index)> OnClickCheck;

    // Answers the parent's WM_MEASUREITEM and WM_DRAWITEM for this list.
    void MeasureItem(MEASUREITEMSTRUCT& item) const;
    void DrawItem(const DRAWITEMSTRUCT& item);

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // The item whose check box lies under the point (client coordinates), or -1.
    int CheckBoxAt(POINT point) const;
    void Flip(size_t index);
    void InvalidateItem(size_t index);
    int ItemHeight() const;

    std::vector<char> checked_;
    int updates_ = 0;
};
