// The window base: class registration, binding of objects to handles, and the error
// path of window procedures.
#include "ui/Window.h"

#include <deque>
#include <utility>

#include "core/Messages.h"
#include "core/WinError.h"

namespace {

// A class registered here: messages that its objects leave go to defaultProc, and the
// object's address is kept in the window's extra bytes at slot.
struct RegisteredClass {
    ATOM atom;
    WNDPROC defaultProc;
    int slot;
};

// The program's windows live on its one user-interface thread, which alone registers
// classes and reads this list: it needs no lock.
std::deque<RegisteredClass> classes;  // grows at the end only: entries keep their address

// The window that the next Create or dialog box of this thread makes.
thread_local Window* pendingWindow = nullptr;
thread_local ATOM pendingClass = 0;
thread_local ErrorSink* currentSink = nullptr;

HINSTANCE Module() { return ::GetModuleHandleW(nullptr); }

const RegisteredClass* FindClass(ATOM atom)
{
    for (const RegisteredClass& c : classes)
        if (c.atom == atom) return &c;
    return nullptr;
}

const RegisteredClass* ClassOf(HWND window) { return FindClass(static_cast<ATOM>(::GetClassWord(window, GCW_ATOM))); }

ATOM Register(const WindowClass& windowClass, WNDPROC procedure)
{
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    ATOM existing = static_cast<ATOM>(::GetClassInfoExW(Module(), windowClass.name, &wc));
    if (existing) return existing;

    WNDPROC defaultProc = ::DefWindowProcW;
    int slot = 0;
    wc = WNDCLASSEXW{};
    wc.cbSize = sizeof wc;
    if (windowClass.base) {
        if (!::GetClassInfoExW(nullptr, windowClass.base, &wc))
            ThrowLastError(L"Cannot find the window class " + std::wstring(windowClass.base));
        defaultProc = wc.lpfnWndProc;
        slot = wc.cbWndExtra;
        wc.style = (wc.style & ~windowClass.dropBaseStyle) | windowClass.style;
    } else {
        wc.style = windowClass.style;
        wc.hCursor = ::LoadCursorW(nullptr, windowClass.cursor);
        wc.hbrBackground = windowClass.background;
    }
    if (windowClass.icon) {
        wc.hIcon = windowClass.icon;
        wc.hIconSm = windowClass.smallIcon;
    }
    wc.cbWndExtra = slot + static_cast<int>(sizeof(LONG_PTR));
    wc.hInstance = Module();
    wc.lpszClassName = windowClass.name;
    wc.lpfnWndProc = procedure;
    ATOM atom = ::RegisterClassExW(&wc);
    if (!atom) ThrowLastError(L"Cannot register the window class " + std::wstring(windowClass.name));

    classes.push_back({atom, defaultProc, slot});
    return atom;
}

}  // namespace

LRESULT CALLBACK Window::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const RegisteredClass* registered = ClassOf(window);
    if (!registered) return ::DefWindowProcW(window, message, wParam, lParam);

    auto* self = reinterpret_cast<Window*>(::GetWindowLongPtrW(window, registered->slot));
    if (!self && pendingWindow && registered->atom == pendingClass) {
        // The first message of a window this thread is creating for an object.
        self = std::exchange(pendingWindow, nullptr);
        self->hwnd_ = window;
        self->default_ = registered->defaultProc;
        ::SetWindowLongPtrW(window, registered->slot, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self) return ::CallWindowProcW(registered->defaultProc, window, message, wParam, lParam);

    if (message == WM_NCDESTROY) {
        LRESULT result = self->Dispatch(message, wParam, lParam);
        ::SetWindowLongPtrW(window, registered->slot, 0);
        self->hwnd_ = nullptr;
        self->OnDestroyed();
        return result;
    }
    return self->Dispatch(message, wParam, lParam);
}

LRESULT Window::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    try {
        if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
            Window* control = FromHandle(reinterpret_cast<HWND>(lParam));
            LRESULT brush = 0;
            if (control && control != this && control->OnControlColor(message, reinterpret_cast<HDC>(wParam), brush))
                return brush;
        }
        return OnMessage(message, wParam, lParam);
    } catch (...) {
        // An exception must never unwind through Windows' own frames.
        HWND window = hwnd_;
        try {
            OnError(std::current_exception());
        } catch (...) {
            HandleWindowError(window, std::current_exception());
        }
        return 0;
    }
}

Window::~Window()
{
    if (!hwnd_) return;
    // Unbind first: the derived parts of the object are gone, so the rest of the
    // window's life goes to the class's own handling.
    HWND window = std::exchange(hwnd_, nullptr);
    if (const RegisteredClass* registered = ClassOf(window)) ::SetWindowLongPtrW(window, registered->slot, 0);
    ::DestroyWindow(window);
}

Window* Window::FromHandle(HWND window)
{
    const RegisteredClass* registered = window ? ClassOf(window) : nullptr;
    return registered ? reinterpret_cast<Window*>(::GetWindowLongPtrW(window, registered->slot)) : nullptr;
}

HWND Window::Create(const WindowClass& windowClass, DWORD exStyle, DWORD style, const std::wstring& text, int x, int y,
                    int width, int height, HWND parent, UINT_PTR idOrMenu)
{
    BindNextWindow(windowClass);
    HWND window = ::CreateWindowExW(exStyle, windowClass.name, text.c_str(), style, x, y, width, height, parent,
                                    reinterpret_cast<HMENU>(idOrMenu), Module(), nullptr);
    DWORD error = ::GetLastError();
    if (pendingWindow == this) pendingWindow = nullptr;
    if (!window) ThrowSystemError(L"Cannot create the window " + std::wstring(windowClass.name), error);
    return window;
}

void Window::BindNextWindow(const WindowClass& windowClass)
{
    pendingClass = Register(windowClass, &Window::Procedure);
    pendingWindow = this;
}

LRESULT Window::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) { return Default(message, wParam, lParam); }

LRESULT Window::Default(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::CallWindowProcW(default_, hwnd_, message, wParam, lParam);
}

void Window::OnError(std::exception_ptr error) { HandleWindowError(hwnd_, error); }

ScopedErrorSink::ScopedErrorSink(ErrorSink& sink) : previous_(std::exchange(currentSink, &sink)) {}

ScopedErrorSink::~ScopedErrorSink() { currentSink = previous_; }

void HandleWindowError(HWND window, std::exception_ptr error)
{
    if (currentSink) {
        currentSink->Take(window, error);
        return;
    }
    HWND owner = window ? ::GetAncestor(window, GA_ROOT) : nullptr;
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        ReportError(owner, e);
    } catch (...) {
        ReportError(owner, std::exception());
    }
}
