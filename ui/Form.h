// Forms: top-level windows built at design pixels, with anchored controls and panels,
// language captions and fonts applied on the first show, a remembered place, and
// commands routed to handler methods; ModalForm runs one as a modal dialog.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/Language.h"
#include "core/Messages.h"
#include "ui/Anchors.h"
#include "ui/FormGeometry.h"
#include "ui/Window.h"

class Action;

// The answer of a modal form (the values of the system's dialog answers).
enum : INT_PTR { mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL, mrAbort = IDABORT, mrYes = IDYES, mrNo = IDNO };

// Where a form goes when it is shown.
enum class FormPosition { Designed, ScreenCentre, OwnerCentre, Remembered };

// The registry key where a form keeps its place, with its defaults (client size).
struct RememberedPlace {
    std::wstring key;
    int defaultHeight = 0, defaultWidth = 0;
    GeometryOrder order = GeometryOrder::PositionFirst;
};

// A panel without a border: a place in the form's layout that holds controls, not a
// window. Its controls are windows of the window that holds the panel (the form, a
// group box or a framed panel), placed and moved with the panel, hidden and shown with it.
struct Panel {
    int item = -1;  // its place in the form's layout
};

// Where a control goes: a window of the form (null: the form itself) or a panel.
struct ParentRef {
    ParentRef(HWND window = nullptr) : window(window) {}
    ParentRef(Panel panel) : panel(panel) {}
    HWND window = nullptr;
    Panel panel;
};

// One control of a form, at design pixels inside its parent (the form, a panel or a
// group box of the form). Design pixels are 96 to the inch; the form scales them to
// its own DPI when it creates and lays out its controls.
struct ControlSpec {
    const wchar_t* windowClass;  // "BUTTON", "EDIT", "LISTBOX", ...
    std::wstring text;
    Box box;
    DWORD style = 0;  // WS_CHILD | WS_VISIBLE are added
    DWORD exStyle = 0;
    unsigned anchors = akTopLeft;
    ParentRef parent{};    // the form itself unless given
    HFONT font = nullptr;  // null: the form's font
    int id = 0;            // 0: the next free command id
};

class Form : public Window {
public:
    struct Design {
        const wchar_t* className;  // the window class, a dialog superclass ("TPreset_Form")
        std::wstring caption;
        Extent client;  // design client size, which the anchors start from
        DWORD style = WS_CAPTION | WS_SYSMENU | WS_POPUP;
        DWORD exStyle = 0;
        FormPosition position = FormPosition::OwnerCentre;
        HFONT font = nullptr;  // null: "ＭＳ Ｐゴシック" 9 pt, Shift-JIS
        // The DPI that the boxes and sizes are given at: 96 for design pixels; a form
        // that measures its layout from its font at the screen's DPI gives that.
        int designDpi = 96;
    };

    ~Form() override;

    // Creates the window (hidden) and its controls on first use.
    void CreateHandle(HWND owner);
    // Shows the form without waiting; its first show applies language and place.
    void Show(HWND owner);

    // How the form talks to the user: message boxes it owns.
    UserPrompt& Prompt() const { return prompt_; }

    // Whether a panel is shown (its own state, whatever the form's), and its box in the
    // client area of the window that holds it, as last laid out.
    bool PanelShown(Panel panel) const;
    Box PanelBox(Panel panel) const;

protected:
    explicit Form(Design design);

    // Creates the controls, at design pixels, in tab order.
    virtual void FormCreate() = 0;
    // The first show, after the language section and the place have been applied.
    virtual void FormShow() {}
    // Whether the form may close; a refusal keeps it open.
    virtual bool FormCloseQuery() { return true; }
    // Runs once, when the form is freed or its window destroyed, whichever comes first.
    virtual void FormDestroy() {}

    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Controls. Add creates one with the next free command id; group boxes and framed
    // panels are windows that hold other controls and pass on their notifications;
    // they, the controls and the panels take part in the layout.
    HWND Add(const ControlSpec& item);
    Panel AddPanel(Box box, Align align, unsigned anchors = akTopLeft, ParentRef parent = {});
    // A panel with a frame of its own to draw: a window, which its controls are made in.
    HWND AddFramedPanel(Box box, unsigned anchors = akTopLeft, ParentRef parent = {});
    HWND AddGroupBox(const std::wstring& text, Box box, unsigned anchors = akTopLeft, ParentRef parent = {});
    // A control made elsewhere, in HostOf(parent), which the layout then keeps in place.
    void AddMade(HWND control, Box box, unsigned anchors, ParentRef parent);
    // The window that a control of parent is made in, and where in it a new control
    // of that design box goes.
    HWND HostOf(ParentRef parent) const;
    Box PlaceFor(ParentRef parent, Box box, unsigned anchors = akTopLeft, Align align = Align::alNone) const;
    // Gives a control anchored to its parent's top and left a new box there, in the
    // window's pixels; the layout keeps it from then on.
    void SetControlBox(HWND control, Box box);
    // Hides or shows a panel's controls. A control hidden on its own stays hidden; a
    // control added to a hidden panel shows when the panel does.
    void ShowPanel(Panel panel, bool show);
    // Whether window is one of the panel's controls or inside one.
    bool PanelHolds(Panel panel, HWND window) const;
    // A page of a tab control of the form, hidden: it lies over the tab's display area
    // and paints the tab's page background, on which its labels and check boxes sit as
    // on the system's own tab pages. Its controls' boxes are inside the page.
    HWND AddTabPage(HWND tabControl);

    // Routing: handler runs when control (or command id) sends code.
    void On(HWND control, WORD code, std::function<void()> handler);
    void On(int commandId, WORD code, std::function<void()> handler);
    void OnClick(HWND button, std::function<void()> handler) { On(button, BN_CLICKED, std::move(handler)); }
    // A button that closes the form with result after its own handler.
    void SetModalResult(HWND button, INT_PTR result);
    // Enter presses the default button, Esc the cancel button.
    void SetDefaultButton(HWND button);
    void SetCancelButton(HWND button);
    // A command id for a menu item.
    int NewCommandId() { return nextId_++; }
    // The action drives the button (and whatever else it is linked to).
    void Link(Action& action, HWND button);
    void Link(Action& action, HMENU menu, int commandId);

    // Captions and fonts of the language file applied on the first show.
    void SetLanguageSection(std::wstring section, std::vector<CaptionBinding> captions,
                            std::vector<ListFont> listFonts = {});
    // The place read on the first show (FormPosition::Remembered) and written when the
    // form is freed.
    void RememberPlace(RememberedPlace place);

    // Asks FormCloseQuery and closes; a modal form ends its loop with result.
    virtual void Close(INT_PTR result);
    HFONT Font() const { return font_; }
    const Design& DesignOf() const { return design_; }

    // Sets the window's outer size so that its client area is width x height design
    // pixels, measured on the window itself (a menu bar may wrap onto several rows).
    void SetClientSize(int width, int height);
    // The client size in the window's own pixels, measured as SetClientSize does; at,
    // when given, is where the window moves in the same step.
    void SetClientPixels(int width, int height, const ScreenPoint* at = nullptr);
    // Design pixels at the form's DPI.
    int Scaled(int designPixels) const;
    Box Scaled(Box design) const;
    int Dpi() const { return dpi_; }
    // The show command the first show chose (normal, maximised, minimised).
    int ShowCommand() const { return showCommand_; }
    // Runs the first show once, and places the form.
    void PrepareShow(HWND owner);

private:
    // A control or a panel (no window) of the layout.
    struct Item {
        HWND window;
        LayoutItem layout;
        Box placed;                  // where it was last laid out, in its window's parent
        bool hidden = false;         // a panel: hidden by ShowPanel
        bool hiddenByPanel = false;  // a control: hidden only because a panel is
    };

    HWND AddItem(const ControlSpec& item, Align align, int id);
    HWND AddContainer(const WindowClass& windowClass, const std::wstring& text, DWORD style, Box box, Align align,
                      unsigned anchors, ParentRef parent);
    void Track(HWND window, ParentRef parent, Box box, unsigned anchors, Align align, Box placed);
    int IndexOf(HWND window) const;
    int LayoutParentOf(ParentRef parent) const;
    // A box inside the item layoutParent, moved out of the panel it may be into the
    // window that holds it, where the panel was last placed.
    Box InHost(int layoutParent, Box box) const;

    bool InHiddenPanel(int item) const;
    bool Under(int item, int panel) const;
    void Arrange(int width, int height);
    void ArrangeClient();  // to the client area as it is
    bool RestoresPlace() const { return place_ && design_.position == FormPosition::Remembered; }
    void PlaceTabPages();
    void Route(int id, WORD code);
    void ClickButton(HWND button);
    Extent FrameExtent() const;  // around the client area, with a menu bar of one row
    void RestorePlace();
    void SavePlace();
    void RunDestroy();

    Design design_;
    HFONT font_;
    int nextId_ = 1000;  // clear of the system's dialog answers
    std::vector<Item> items_;
    std::vector<std::unique_ptr<Window>> containers_;
    std::vector<std::pair<HWND, HWND>> tabPages_;  // page, its tab control
    std::map<std::pair<int, WORD>, std::function<void()>> handlers_;
    std::map<int, INT_PTR> modalResults_;
    HWND defaultButton_ = nullptr, cancelButton_ = nullptr;
    std::wstring languageSection_;
    std::vector<CaptionBinding> captions_;
    std::vector<ListFont> listFonts_;
    std::unique_ptr<RememberedPlace> place_;
    bool firstShowPending_ = true;
    bool layoutPending_ = false;  // controls made, not yet laid out to the client area
    Extent arranged_{-1, -1};     // the client size they were last laid out to
    Extent laidOut_{-1, -1};      // the same, kept when a new control asks for a layout
    bool destroyed_ = false;
    int showCommand_ = SW_SHOWNORMAL;
    int dpi_ = 96;
    mutable WindowPrompt prompt_{[this] { return Handle(); }};
};

class ModalForm : public Form {
public:
    // Shows the form modally over owner (disabled meanwhile) and returns the modal
    // result. An error raised inside the form ends it and is raised again here.
    INT_PTR ShowModal(HWND owner);
    INT_PTR ModalResult() const { return modalResult_; }

protected:
    using Form::Form;
    void Close(INT_PTR result) override;

private:
    class FirstError;
    INT_PTR modalResult_ = mrNone;
};

// The application's message loop: dialog keys for every form, until WM_QUIT.
int RunMessageLoop();
