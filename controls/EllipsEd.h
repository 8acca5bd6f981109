// The path edit: a one-line text box with a small button carrying three dots at its
// right end, which tells its owner when it is clicked.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "core/Handles.h"
#include "ui/Window.h"

// When the button shows: never, while the edit has the focus, or always.
enum TEditStyle { esNormal, esEllipses, esAlwaysEllipses };
enum TBorderStyle { bsNone, bsSingle };

// The button inside the edit: a push button face painted here, with the plain arrow as
// its cursor. It never takes the focus, so the edit keeps its caret and selection.
class TEllipsesButton : public Window {
public:
    void CreateIn(HWND edit);
    // Redraws the button before returning, so that a handler that blocks sees it drawn.
    void Refresh();

    bool Pressed = false;
    std::function<void()> OnClick;

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(HDC dc);
    bool captured_ = false;
};

class TEllipsesEdit : public Window {
public:
    TEllipsesEdit();

    // Creates the window; the height asked for gives way to PreferredHeight as soon as
    // a font is set. style adds to WS_CHILD (WS_VISIBLE, WS_TABSTOP, WS_DISABLED).
    HWND CreateEdit(HWND parent, int id, int x, int y, int width, int height, DWORD style = WS_VISIBLE | WS_TABSTOP);

    TEditStyle EditStyle() const { return editStyle_; }
    // A different style recreates the window, which keeps text, font, place and focus.
    void SetEditStyle(TEditStyle style);
    bool FirstCharUpper() const { return firstCharUpper_; }
    // Turning it on capitalises the current text at once.
    void SetFirstCharUpper(bool on);

    // These shape the window itself, so a change recreates it.
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle style);
    bool Ctl3D() const { return ctl3D_; }
    void SetCtl3D(bool on);
    wchar_t PasswordChar() const { return passwordChar_; }
    void SetPasswordChar(wchar_t c);

    bool AutoSelect = true;  // entering the edit selects its whole text
    COLORREF Color() const { return color_; }
    void SetColor(COLORREF color);

    std::wstring Text() const;
    void SetText(const std::wstring& text);

    // Raised with the edit as sender when the button is clicked; no key raises it.
    std::function<void(TEllipsesEdit& sender)> OnButtonClick;

    bool ButtonVisible() const;
    int PreferredHeight() const;
    void UpdateButtonLayout();
    void ButtonClick();

    const TEllipsesButton& Button() const { return button_; }
    // Non-empty only between an Enter key press and the next repaint.
    const std::wstring& PendingText() const { return pendingText_; }

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnControlColor(UINT message, HDC dc, LRESULT& brush) override;

private:
    void CreateWindowNow(HWND parent, int id, int x, int y, int width, int height, DWORD style,
                         const std::wstring& text);
    void Recreate();
    // A property that the window's style carries: a new value takes a new window.
    template <typename T>
    void Reshape(T& field, T value)
    {
        if (field == value) return;
        field = value;
        Recreate();
    }
    void AdjustHeight();
    void SetFormattingRect(RECT wanted);
    void ApplyFirstCharUpper();
    LRESULT OnChar(WPARAM wParam, LPARAM lParam);
    void PasteFirstLine();

    TEllipsesButton button_;
    TEditStyle editStyle_ = esEllipses;
    TBorderStyle borderStyle_ = bsSingle;
    bool ctl3D_ = true;
    bool firstCharUpper_ = false;
    wchar_t passwordChar_ = 0;
    COLORREF color_ = RGB(255, 255, 255);
    GdiObject brush_;
    std::wstring pendingText_;
    bool focused_ = false;
    bool recreating_ = false;
    bool adjusting_ = false;
};
