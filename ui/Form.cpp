// Forms on a dialog superclass: creation, layout, routing, first show, place, and the
// modal loop.
#include "ui/Form.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <tuple>
#include <utility>

#include "core/Error.h"
#include "core/Registry.h"
#include "core/WinError.h"
#include "ui/Action.h"
#include "ui/Dpi.h"

namespace {

// The messages a control sends its parent about itself, which a container passes on to
// the form that handles them.
bool IsControlNotification(UINT message)
{
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_COMPAREITEM:
    case WM_DELETEITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_HSCROLL:
    case WM_VSCROLL: return true;
    default: return false;
    }
}

// A framed panel or group box: it holds controls, and sends their notifications on to its
// parent, so that the form hears from every control however deep it sits.
class Container : public Window {
public:
    HWND Make(const WindowClass& windowClass, const std::wstring& text, DWORD style, Box box, HWND parent, int id)
    {
        groupBox_ = (style & BS_TYPEMASK) == BS_GROUPBOX;
        return Create(windowClass, WS_EX_CONTROLPARENT, WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | style, text,
                      box.x, box.y, box.cx, box.cy, parent, static_cast<UINT_PTR>(id));
    }

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (IsControlNotification(message)) return ::SendMessageW(::GetParent(Handle()), message, wParam, lParam);
        switch (message) {
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORSTATIC: return ::SendMessageW(::GetParent(Handle()), message, wParam, lParam);
        case WM_ERASEBKGND: {
            // A group box leaves its inside unpainted; the form's face colour fills it.
            RECT client;
            ::GetClientRect(Handle(), &client);
            ::FillRect(reinterpret_cast<HDC>(wParam), &client, ::GetSysColorBrush(COLOR_BTNFACE));
            return 1;
        }
        case WM_NCPAINT: return 0;  // no frame and no scroll bars: nothing outside the client area
        case WM_PRINTCLIENT:
            // A themed control asks for what lies behind it after the erase above. Away
            // from the group box's frame and caption that is the face colour alone, and
            // drawing the whole box into the control's corners would only cost time.
            if (groupBox_ && InsideFrame(reinterpret_cast<HDC>(wParam))) return 0;
            return Default(message, wParam, lParam);
        default: return Default(message, wParam, lParam);
        }
    }

private:
    bool InsideFrame(HDC dc) const
    {
        RECT inside, asked;
        LOGFONTW caption{};
        auto font = reinterpret_cast<HFONT>(::SendMessageW(Handle(), WM_GETFONT, 0, 0));
        if (::GetClipBox(dc, &asked) == ERROR || !font || !::GetObjectW(font, sizeof caption, &caption) ||
            caption.lfHeight == 0)
            return false;
        ::GetClientRect(Handle(), &inside);
        const int edge = 4;  // the frame's lines, with room to spare; twice the caption's height
        inside = {inside.left + edge, inside.top + 2 * std::abs(caption.lfHeight) + edge, inside.right - edge,
                  inside.bottom - edge};
        RECT both;
        return ::IntersectRect(&both, &asked, &inside) && ::EqualRect(&both, &asked);
    }

    bool groupBox_ = false;
};

// The system's buttons and labels without a frame or scroll bars have nothing to paint
// outside their client area, yet the default non-client painting fetches a device
// context for each of them at every show of the form: they answer at once instead.
struct FramelessClass {
    ATOM atom;
    WNDPROC original;
};
std::vector<FramelessClass> framelessClasses;  // the user-interface thread's only

bool HasFrame(HWND window)
{
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_EXSTYLE));
    return (style & (WS_BORDER | WS_DLGFRAME | WS_THICKFRAME | WS_VSCROLL | WS_HSCROLL)) ||
           (exStyle & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE | WS_EX_WINDOWEDGE | WS_EX_DLGMODALFRAME));
}

LRESULT CALLBACK FramelessProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto atom = static_cast<ATOM>(::GetClassWord(window, GCW_ATOM));
    WNDPROC original = ::DefWindowProcW;
    for (const FramelessClass& c : framelessClasses)
        if (c.atom == atom) original = c.original;
    if (message == WM_NCPAINT && !HasFrame(window)) return 0;
    return ::CallWindowProcW(original, window, message, wParam, lParam);
}

void SkipEmptyNonClientPaint(HWND control, const wchar_t* windowClass)
{
    if (::CompareStringOrdinal(windowClass, -1, WC_BUTTONW, -1, TRUE) != CSTR_EQUAL &&
        ::CompareStringOrdinal(windowClass, -1, WC_STATICW, -1, TRUE) != CSTR_EQUAL)
        return;
    const auto atom = static_cast<ATOM>(::GetClassWord(control, GCW_ATOM));
    auto original = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(control, GWLP_WNDPROC));
    if (std::none_of(framelessClasses.begin(), framelessClasses.end(),
                     [atom](const FramelessClass& c) { return c.atom == atom; }))
        framelessClasses.push_back({atom, original});
    ::SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FramelessProcedure));
}

const WindowClass kPanelClass{L"KitwrightPanel"};
const WindowClass kGroupBoxClass{L"KitwrightGroupBox", L"BUTTON"};

INT_PTR CALLBACK NoDialogProcedure(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// A tab page: a child dialog, so that the system's dialog handling gives it the tab's
// themed background and paints the labels and check boxes on it to match.
class TabPage : public Window {
public:
    HWND Make(HWND parent)
    {
        BindNextWindow(WindowClass{L"KitwrightTabPage", L"#32770"});
        std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD));
        DLGTEMPLATE head{};
        head.style = WS_CHILD | DS_CONTROL | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
        head.dwExtendedStyle = WS_EX_CONTROLPARENT;
        std::memcpy(words.data(), &head, sizeof head);
        words.push_back(0);  // no menu
        for (const wchar_t* c = L"KitwrightTabPage"; *c; ++c) words.push_back(*c);
        words.push_back(0);
        words.push_back(0);  // no caption
        HWND page = ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr),
                                                 reinterpret_cast<const DLGTEMPLATE*>(words.data()), parent,
                                                 NoDialogProcedure, 0);
        if (!page) ThrowLastError(L"Cannot create a tab page");
        ::EnableThemeDialogTexture(page, ETDT_ENABLETAB);
        return page;
    }

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (IsControlNotification(message)) return ::SendMessageW(::GetParent(Handle()), message, wParam, lParam);
        return Default(message, wParam, lParam);
    }
};

// An empty dialog template of the form's own class.
std::vector<WORD> FormTemplate(const Form::Design& design)
{
    DLGTEMPLATE head{};
    head.style = design.style | WS_CLIPCHILDREN;
    head.dwExtendedStyle = design.exStyle;
    std::vector<WORD> words(sizeof head / sizeof(WORD));
    std::memcpy(words.data(), &head, sizeof head);
    words.push_back(0);  // no menu
    for (const wchar_t* c = design.className; *c; ++c) words.push_back(*c);
    words.push_back(0);
    words.insert(words.end(), design.caption.begin(), design.caption.end());
    words.push_back(0);
    return words;
}

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

// The work area of the monitor nearest to a point, where windows are kept.
ScreenRect WorkAreaNear(int left, int top)
{
    MONITORINFO info{};
    info.cbSize = sizeof info;
    HMONITOR monitor = ::MonitorFromPoint(POINT{left, top}, MONITOR_DEFAULTTONEAREST);
    if (monitor && ::GetMonitorInfoW(monitor, &info))
        return {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
    return {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}

// Moves a window the least that keeps it whole on the work area nearest to left, top.
void PlaceOnWorkArea(HWND window, int left, int top)
{
    RECT r;
    ::GetWindowRect(window, &r);
    ScreenPoint at = OnWorkArea(left, top, Width(r), Height(r), WorkAreaNear(left, top));
    ::SetWindowPos(window, nullptr, at.left, at.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The program's icon (resource 1 of the executable) at the caption's and the task
// bar's sizes, loaded once: every form's class shows it, and no window has to be told.
// Shared icons belong to the system's cache: never destroyed by the program.
const std::pair<HICON, HICON>& ProgramIcons()
{
    static const std::pair<HICON, HICON> icons = [] {
        auto load = [](int cx, int cy) {
            return static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON,
                                                   ::GetSystemMetrics(cx), ::GetSystemMetrics(cy), LR_SHARED));
        };
        return std::pair{load(SM_CXICON, SM_CYICON), load(SM_CXSMICON, SM_CYSMICON)};
    }();
    return icons;
}

}  // namespace

Form::Form(Design design) : design_(std::move(design))
{
    font_ = design_.font ? design_.font : SharedFont(FontSpec{kWindowFontName, kWindowFontSize, SHIFTJIS_CHARSET});
}

Form::~Form()
{
    if (Handle()) RunDestroy();
}

void Form::RunDestroy()
{
    if (std::exchange(destroyed_, true)) return;
    // Called from a destructor too: errors go the windows' way, never out.
    try {
        FormDestroy();
        if (place_) SavePlace();
    } catch (...) {
        HandleWindowError(Handle(), std::current_exception());
    }
}

void Form::CreateHandle(HWND owner)
{
    if (Handle()) return;
    dpi_ = WindowDpi(owner);
    WindowClass windowClass{design_.className, L"#32770"};
    std::tie(windowClass.icon, windowClass.smallIcon) = ProgramIcons();
    BindNextWindow(windowClass);
    std::vector<WORD> words = FormTemplate(design_);
    HWND window = ::CreateDialogIndirectParamW(
        ::GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(words.data()), owner, NoDialogProcedure, 0);
    if (!window) ThrowLastError(L"Cannot create the window " + design_.caption);
}

int Form::Scaled(int designPixels) const { return ::MulDiv(designPixels, dpi_, design_.designDpi); }

// Edges are scaled rather than sizes, so that boxes that meet at design pixels still meet.
Box Form::Scaled(Box design) const
{
    int x = Scaled(design.x), y = Scaled(design.y);
    return {x, y, Scaled(design.x + design.cx) - x, Scaled(design.y + design.cy) - y};
}

LRESULT Form::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        // A form that restores its place is sized and placed once, at its first show.
        if (!RestoresPlace()) SetClientSize(design_.client.cx, design_.client.cy);
        ::SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        FormCreate();
        // A form that restores its place is laid out once, at the size it opens with.
        if (RestoresPlace())
            layoutPending_ = true;
        else
            ArrangeClient();
        // No focus yet: a control focused in the hidden window would activate it, one
        // activation more than the show's. When the form shows and is activated, the
        // dialog manager gives the focus to the first tab stop.
        return FALSE;
    case WM_SETFONT:  // a dialog does not keep it by itself
        font_ = reinterpret_cast<HFONT>(wParam);
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(font_);
    case WM_SIZE:
        // The first show reports the size the controls were laid out to: nothing moves.
        if (wParam != SIZE_MINIMIZED && !(Extent{LOWORD(lParam), HIWORD(lParam)} == arranged_))
            Arrange(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case DM_GETDEFID:
        if (defaultButton_) return MAKELRESULT(::GetDlgCtrlID(defaultButton_), DC_HASDEFID);
        return 0;
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        // The dialog keys: Enter when the default button sits inside a panel, Esc.
        if (id == IDOK && defaultButton_) {
            ClickButton(defaultButton_);
        } else if (id == IDCANCEL) {
            if (cancelButton_) ClickButton(cancelButton_);
        } else {
            Route(id, HIWORD(wParam));
        }
        return 0;
    }
    case WM_CLOSE: Close(mrCancel); return 0;
    case WM_DESTROY: RunDestroy(); return Default(message, wParam, lParam);
    default: return Default(message, wParam, lParam);
    }
}

void Form::SetClientSize(int width, int height) { SetClientPixels(Scaled(width), Scaled(height)); }

Extent Form::FrameExtent() const
{
    RECT frame{0, 0, 0, 0};
    ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongPtrW(Handle(), GWL_STYLE)),
                         ::GetMenu(Handle()) != nullptr,
                         static_cast<DWORD>(::GetWindowLongPtrW(Handle(), GWL_EXSTYLE)));
    return {Width(frame), Height(frame)};
}

void Form::SetClientPixels(int width, int height, const ScreenPoint* at)
{
    // The frame's guess assumes a menu bar of one row; a narrow window wraps its menu
    // onto more, so the client area is measured and the difference made up. A second
    // correction covers a menu that wraps anew at the corrected width.
    const Extent frame = FrameExtent();
    int outerWidth = width + frame.cx, outerHeight = height + frame.cy;
    for (int pass = 0; pass < 3; ++pass) {
        const bool move = at && pass == 0;
        ::SetWindowPos(Handle(), nullptr, move ? at->left : 0, move ? at->top : 0, outerWidth, outerHeight,
                       (move ? 0 : SWP_NOMOVE) | SWP_NOZORDER | SWP_NOACTIVATE);
        RECT client;
        ::GetClientRect(Handle(), &client);
        if (client.right == width && client.bottom == height) break;
        outerWidth += width - client.right;
        outerHeight += height - client.bottom;
    }
}

HWND Form::AddItem(const ControlSpec& item, Align align, int id)
{
    const Box box = PlaceFor(item.parent, item.box, item.anchors, align);
    const bool panelHidden = InHiddenPanel(LayoutParentOf(item.parent));
    HWND control = ::CreateWindowExW(item.exStyle, item.windowClass, item.text.c_str(),
                                     WS_CHILD | (panelHidden ? 0 : WS_VISIBLE) | item.style, box.x, box.y, box.cx,
                                     box.cy, HostOf(item.parent), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                     ::GetModuleHandleW(nullptr), nullptr);
    if (!control) ThrowLastError(L"Cannot create a control of the window " + design_.caption);
    SkipEmptyNonClientPaint(control, item.windowClass);
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(item.font ? item.font : font_), FALSE);
    Track(control, item.parent, item.box, item.anchors, align, box);
    items_.back().hiddenByPanel = panelHidden;
    return control;
}

void Form::Track(HWND window, ParentRef parent, Box box, unsigned anchors, Align align, Box placed)
{
    // The layout works in the window's pixels.
    arranged_ = {-1, -1};
    items_.push_back({window, LayoutItem{LayoutParentOf(parent), Scaled(box), anchors, align}, placed});
}

int Form::IndexOf(HWND window) const
{
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].window == window) return static_cast<int>(i);
    return -1;
}

// A window that is not laid out (a tab page) is a parent as the form is.
int Form::LayoutParentOf(ParentRef parent) const { return parent.window ? IndexOf(parent.window) : parent.panel.item; }

HWND Form::HostOf(ParentRef parent) const
{
    if (parent.window) return parent.window;
    for (int i = parent.panel.item; i >= 0; i = items_[i].layout.parent)
        if (items_[i].window) return items_[i].window;
    return Handle();
}

Box Form::InHost(int layoutParent, Box box) const
{
    if (layoutParent >= 0 && !items_[layoutParent].window) {
        box.x += items_[layoutParent].placed.x;
        box.y += items_[layoutParent].placed.y;
    }
    return box;
}

Box Form::PlaceFor(ParentRef parent, Box box, unsigned anchors, Align align) const
{
    const int layoutParent = LayoutParentOf(parent);
    // Inside a window at its design box, as the layout's first pass leaves it; inside a
    // panel or aligned, where the layout puts it at the size last laid out.
    if (align == Align::alNone && (layoutParent < 0 || items_[layoutParent].window)) return Scaled(box);
    std::vector<LayoutItem> layout;
    for (const Item& item : items_) layout.push_back(item.layout);
    layout.push_back({layoutParent, Scaled(box), anchors, align});
    const Extent designClient{Scaled(design_.client.cx), Scaled(design_.client.cy)};
    const std::vector<Box> boxes = ArrangeLayout(layout, designClient, laidOut_.cx < 0 ? designClient : laidOut_);
    Box placed = boxes.back();
    for (int i = layoutParent; i >= 0 && !items_[i].window; i = items_[i].layout.parent) {
        placed.x += boxes[i].x;
        placed.y += boxes[i].y;
    }
    return placed;
}

bool Form::Under(int item, int panel) const
{
    for (int i = items_[item].layout.parent; i >= 0; i = items_[i].layout.parent) {
        if (i == panel) return true;
        if (items_[i].window) return false;  // the window it lies in hides and shows it
    }
    return false;
}

bool Form::InHiddenPanel(int item) const
{
    for (int i = item; i >= 0 && !items_[i].window; i = items_[i].layout.parent)
        if (items_[i].hidden) return true;
    return false;
}

Panel Form::AddPanel(Box box, Align align, unsigned anchors, ParentRef parent)
{
    Track(nullptr, parent, box, anchors, align, PlaceFor(parent, box, anchors, align));
    return Panel{static_cast<int>(items_.size()) - 1};
}

void Form::ShowPanel(Panel panel, bool show)
{
    Item& shown = items_.at(static_cast<size_t>(panel.item));
    if (shown.hidden == !show) return;
    shown.hidden = !show;
    for (size_t i = static_cast<size_t>(panel.item) + 1; i < items_.size(); ++i) {
        Item& item = items_[i];
        if (!item.window || !Under(static_cast<int>(i), panel.item)) continue;
        if (!show && (::GetWindowLongPtrW(item.window, GWL_STYLE) & WS_VISIBLE)) {
            item.hiddenByPanel = true;
            ::ShowWindow(item.window, SW_HIDE);
        } else if (show && item.hiddenByPanel && !InHiddenPanel(item.layout.parent)) {
            item.hiddenByPanel = false;
            ::ShowWindow(item.window, SW_SHOWNA);
        }
    }
}

bool Form::PanelShown(Panel panel) const { return !items_.at(static_cast<size_t>(panel.item)).hidden; }

Box Form::PanelBox(Panel panel) const { return items_.at(static_cast<size_t>(panel.item)).placed; }

bool Form::PanelHolds(Panel panel, HWND window) const
{
    if (!window) return false;
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].window && Under(static_cast<int>(i), panel.item) &&
            (items_[i].window == window || ::IsChild(items_[i].window, window)))
            return true;
    return false;
}

void Form::AddMade(HWND control, Box box, unsigned anchors, ParentRef parent)
{
    Track(control, parent, box, anchors, Align::alNone, PlaceFor(parent, box, anchors, Align::alNone));
    if (InHiddenPanel(items_.back().layout.parent)) {
        items_.back().hiddenByPanel = true;
        if (::GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE) ::ShowWindow(control, SW_HIDE);
    }
}

void Form::SetControlBox(HWND control, Box box)
{
    const int i = IndexOf(control);
    if (i < 0) throw AppError(L"The control is not laid out by the window " + design_.caption);
    items_[i].layout.design = box;
    items_[i].placed = InHost(items_[i].layout.parent, box);
    const Box& at = items_[i].placed;
    ::SetWindowPos(control, nullptr, at.x, at.y, at.cx, at.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND Form::Add(const ControlSpec& item) { return AddItem(item, Align::alNone, item.id ? item.id : nextId_++); }

HWND Form::AddContainer(const WindowClass& windowClass, const std::wstring& text, DWORD style, Box box, Align align,
                        unsigned anchors, ParentRef parent)
{
    auto container = std::make_unique<Container>();
    // Made at its place rather than moved there: one window operation less.
    const bool panelHidden = InHiddenPanel(LayoutParentOf(parent));
    const Box placed = PlaceFor(parent, box, anchors, align);
    HWND handle =
        container->Make(windowClass, text, style | (panelHidden ? 0 : WS_VISIBLE), placed, HostOf(parent), nextId_++);
    containers_.push_back(std::move(container));
    ::SendMessageW(handle, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    Track(handle, parent, box, anchors, align, placed);
    items_.back().hiddenByPanel = panelHidden;
    return handle;
}

HWND Form::AddFramedPanel(Box box, unsigned anchors, ParentRef parent)
{
    return AddContainer(kPanelClass, L"", 0, box, Align::alNone, anchors, parent);
}

HWND Form::AddGroupBox(const std::wstring& text, Box box, unsigned anchors, ParentRef parent)
{
    return AddContainer(kGroupBoxClass, text, BS_GROUPBOX, box, Align::alNone, anchors, parent);
}

HWND Form::AddTabPage(HWND tabControl)
{
    auto page = std::make_unique<TabPage>();
    HWND handle = page->Make(Handle());
    containers_.push_back(std::move(page));
    ::SendMessageW(handle, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    tabPages_.emplace_back(handle, tabControl);
    PlaceTabPages();
    return handle;
}

// Over the display area of their tab control, which moves with the tab's font.
void Form::PlaceTabPages()
{
    for (const auto& [page, tab] : tabPages_) {
        RECT area;
        ::GetWindowRect(tab, &area);
        ::MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&area), 2);
        ::SendMessageW(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
        ::SetWindowPos(page, nullptr, area.left, area.top, Width(area), Height(area), SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void Form::ArrangeClient()
{
    RECT client;
    ::GetClientRect(Handle(), &client);
    Arrange(client.right, client.bottom);
}

void Form::Arrange(int width, int height)
{
    layoutPending_ = false;
    arranged_ = laidOut_ = {width, height};
    if (items_.empty()) return;
    std::vector<LayoutItem> layout;
    for (const Item& item : items_) layout.push_back(item.layout);
    const Extent designClient{Scaled(design_.client.cx), Scaled(design_.client.cy)};
    std::vector<Box> boxes = ArrangeLayout(layout, designClient, Extent{width, height});
    // One batch: the whole form moves at once and repaints once. Controls repaint whole
    // rather than keep their old pixels: a button moved or a frame stretched would
    // otherwise show blank faces and stale edges. A panel has no window: its controls
    // are moved out of it into the window that holds it (parents come first).
    int windows = 0;
    for (size_t i = 0; i < items_.size(); ++i) {
        items_[i].placed = InHost(items_[i].layout.parent, boxes[i]);
        if (items_[i].window) ++windows;
    }
    HDWP batch = ::BeginDeferWindowPos(windows);
    for (size_t i = 0; i < items_.size() && batch; ++i) {
        if (!items_[i].window) continue;
        const Box& b = items_[i].placed;
        batch = ::DeferWindowPos(batch, items_[i].window, nullptr, b.x, b.y, b.cx, b.cy,
                                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOCOPYBITS);
    }
    if (batch) ::EndDeferWindowPos(batch);
    PlaceTabPages();
}

void Form::On(HWND control, WORD code, std::function<void()> handler)
{
    On(::GetDlgCtrlID(control), code, std::move(handler));
}

void Form::On(int commandId, WORD code, std::function<void()> handler)
{
    handlers_[{commandId, code}] = std::move(handler);
}

void Form::SetModalResult(HWND button, INT_PTR result) { modalResults_[::GetDlgCtrlID(button)] = result; }

void Form::SetDefaultButton(HWND button)
{
    defaultButton_ = button;
    ::SendMessageW(button, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
}

void Form::SetCancelButton(HWND button) { cancelButton_ = button; }

void Form::Link(Action& action, HWND button)
{
    action.LinkButton(button);
    OnClick(button, [&action] { action.Execute(); });
}

void Form::Link(Action& action, HMENU menu, int commandId)
{
    action.LinkMenuItem(menu, commandId);
    On(commandId, 0, [&action] { action.Execute(); });  // a menu item
    On(commandId, 1, [&action] { action.Execute(); });  // its shortcut
}

void Form::ClickButton(HWND button)
{
    if (::IsWindowEnabled(button) && ::IsWindowVisible(button)) Route(::GetDlgCtrlID(button), BN_CLICKED);
}

void Form::Route(int id, WORD code)
{
    auto handler = handlers_.find({id, code});
    if (handler != handlers_.end()) handler->second();
    if (code != BN_CLICKED) return;
    auto result = modalResults_.find(id);
    if (result != modalResults_.end() && Handle()) Close(result->second);
}

void Form::SetLanguageSection(std::wstring section, std::vector<CaptionBinding> captions,
                              std::vector<ListFont> listFonts)
{
    languageSection_ = std::move(section);
    captions_ = std::move(captions);
    listFonts_ = std::move(listFonts);
}

void Form::RememberPlace(RememberedPlace place)
{
    place_ = std::make_unique<RememberedPlace>(std::move(place));
    design_.position = FormPosition::Remembered;
}

void Form::Close(INT_PTR)
{
    if (FormCloseQuery()) ::DestroyWindow(Handle());
}

void Form::PrepareShow(HWND owner)
{
    CreateHandle(owner);
    if (std::exchange(firstShowPending_, false)) {
        if (!languageSection_.empty()) ApplyLanguageSection(Handle(), languageSection_, captions_, listFonts_);
        PlaceTabPages();
        if (RestoresPlace()) RestorePlace();
        if (layoutPending_) ArrangeClient();  // the place kept the size it had
        FormShow();
    }
    // Only a centred form asks for the screen: each question costs the window manager a
    // look at the display configuration.
    if (design_.position == FormPosition::OwnerCentre || design_.position == FormPosition::ScreenCentre) {
        RECT window;
        ::GetWindowRect(Handle(), &window);
        RECT area{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
        if (design_.position == FormPosition::OwnerCentre && owner) ::GetWindowRect(owner, &area);
        int left = area.left + CentredOffset(Width(area), Width(window));
        int top = area.top + CentredOffset(Height(area), Height(window));
        PlaceOnWorkArea(Handle(), left, top);
    }
}

void Form::Show(HWND owner)
{
    PrepareShow(owner);
    ::ShowWindow(Handle(), showCommand_);
}

// The registry is read and written here only.
void Form::RestorePlace()
{
    const RememberedPlace& place = *place_;
    const RegReadBatch batch;
    const int width = ReadRegInteger(place.key, L"Width", place.defaultWidth);
    const int height = ReadRegInteger(place.key, L"Height", place.defaultHeight);
    // A damaged or foreign place (a side of 0, 0x7FFFFFFF, a corner far off the screen)
    // is made usable, as the system does for its own windows; the window then saves
    // the place it really had.
    const Extent frame = FrameExtent();
    const ScreenRect work = WorkAreaNear(0, 0);
    const ClientSize room{(work.right - work.left) - frame.cx, (work.bottom - work.top) - frame.cy};
    const ClientSize size = UsableClientSize(width, height, place.defaultWidth, place.defaultHeight, dpi_, room);
    const Extent outer{size.width + frame.cx, size.height + frame.cy};
    int top = ReadRegInteger(place.key, L"Top", CentredOffset(::GetSystemMetrics(SM_CYSCREEN), outer.cy));
    int left = ReadRegInteger(place.key, L"Left", CentredOffset(::GetSystemMetrics(SM_CXSCREEN), outer.cx));
    // Sized and placed in one move; the normal place is set before the state, so that
    // restoring returns to it. A menu bar that wrapped made the window taller than
    // the frame's guess: it is kept on the work area again.
    const ScreenPoint at = OnWorkArea(left, top, outer.cx, outer.cy, WorkAreaNear(left, top));
    SetClientPixels(size.width, size.height, &at);
    RECT window;
    ::GetWindowRect(Handle(), &window);
    if (!(Extent{Width(window), Height(window)} == outer)) PlaceOnWorkArea(Handle(), left, top);
    switch (FormStateFromStored(ReadRegInteger(place.key, L"FormState", 0))) {
    case FormState::Maximised: showCommand_ = SW_SHOWMAXIMIZED; break;
    case FormState::Minimised: showCommand_ = SW_SHOWMINIMIZED; break;
    case FormState::Normal: showCommand_ = SW_SHOWNORMAL; break;
    }
}

void Form::SavePlace()
{
    FormState state = ::IsZoomed(Handle())   ? FormState::Maximised
                      : ::IsIconic(Handle()) ? FormState::Minimised
                                             : FormState::Normal;
    RECT window, client;
    ::GetWindowRect(Handle(), &window);
    ::GetClientRect(Handle(), &client);
    NormalGeometry normal{window.top, window.left, PixelsToDesign(Height(client), dpi_),
                          PixelsToDesign(Width(client), dpi_)};
    for (const auto& [name, value] : GeometryWrites(state, normal, place_->order))
        WriteRegInteger(place_->key, name, value);
}

// Keeps the first error raised while the form runs and ends its loop.
class ModalForm::FirstError : public ErrorSink {
public:
    explicit FirstError(ModalForm& form) : form_(form) {}
    void Take(HWND, std::exception_ptr error) override
    {
        if (!first) first = error;
        if (form_.Handle()) ::PostMessageW(form_.Handle(), WM_NULL, 0, 0);  // wakes the loop
    }
    std::exception_ptr first;

private:
    ModalForm& form_;
};

INT_PTR ModalForm::ShowModal(HWND owner)
{
    FirstError errors(*this);
    ScopedErrorSink sink(errors);
    modalResult_ = mrNone;
    try {
        PrepareShow(owner);
    } catch (...) {
        errors.Take(Handle(), std::current_exception());
    }
    bool disabledOwner = owner && ::IsWindowEnabled(owner);
    if (disabledOwner) ::EnableWindow(owner, FALSE);
    if (!errors.first) ::ShowWindow(Handle(), ShowCommand());

    MSG message;
    while (modalResult_ == mrNone && !errors.first) {
        BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) ::PostQuitMessage(static_cast<int>(message.wParam));  // for the outer loop
            if (modalResult_ == mrNone) modalResult_ = mrCancel;
            break;
        }
        if (!::IsDialogMessageW(Handle(), &message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    // The owner first, so that it takes the activation when the form hides.
    if (disabledOwner) ::EnableWindow(owner, TRUE);
    if (Handle())
        ::SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (errors.first) std::rethrow_exception(errors.first);
    return modalResult_;
}

void ModalForm::Close(INT_PTR result)
{
    modalResult_ = result;
    if (!FormCloseQuery()) modalResult_ = mrNone;
}

int RunMessageLoop()
{
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        HWND root = message.hwnd ? ::GetAncestor(message.hwnd, GA_ROOT) : nullptr;
        if (root && dynamic_cast<Form*>(Window::FromHandle(root)) && ::IsDialogMessageW(root, &message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
