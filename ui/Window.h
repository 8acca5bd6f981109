// The window base: every window and control of the program is an object bound to its
// handle, with one virtual message handler and one path for the errors it raises.
#pragma once

#include <windows.h>

#include <exception>
#include <string>

// How a window class of the program is registered. With a base, the class is a
// superclass of that system class ("EDIT", "LISTBOX", "#32770"): it keeps the base's
// painting and behaviour, and messages the object does not handle go to the base.
struct WindowClass {
    const wchar_t* name;
    const wchar_t* base = nullptr;
    UINT style = CS_DBLCLKS;
    const wchar_t* cursor = IDC_ARROW;  // a system cursor; ignored with a base
    HBRUSH background = nullptr;        // none: the window paints its whole client area
    UINT dropBaseStyle = 0;             // class styles of the base that this class does not keep
    HICON icon = nullptr;               // the caption's and the task bar's, when not the base's
    HICON smallIcon = nullptr;
};

class Window {
public:
    Window() = default;
    // Destroys the window if it is still there; the object's handler no longer sees
    // its messages by then.
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND Handle() const { return hwnd_; }
    // The object bound to a window of one of the program's classes, or null.
    static Window* FromHandle(HWND window);

protected:
    // Registers the class on first use and creates a window bound to this object. The
    // object receives every message from the first one on. AppError when it fails.
    HWND Create(const WindowClass& windowClass, DWORD exStyle, DWORD style, const std::wstring& text, int x, int y,
                int width, int height, HWND parent, UINT_PTR idOrMenu);

    // For a window that another routine creates from a class registered here (a dialog
    // box made from a template): the next such window created on this thread is bound
    // to this object. The class is registered when it was not yet.
    void BindNextWindow(const WindowClass& windowClass);

    // The one handler. The default passes the message on to Default.
    virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // The class's own handling: the base class's procedure, or DefWindowProc.
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

    // Called with an error that OnMessage raised; it never crosses back into Windows.
    // The default hands it to the one error path (HandleWindowError).
    virtual void OnError(std::exception_ptr error);

    // The last message the window receives; the handle is cleared after it.
    virtual void OnDestroyed() {}

    // A control of the program that keeps its own colours answers its parent's
    // WM_CTLCOLOR* message for it with a brush; by default the parent decides.
    virtual bool OnControlColor(UINT, HDC, LRESULT&) { return false; }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
    WNDPROC default_ = nullptr;
};

// Where errors stopped at a window procedure go. While a sink is installed on the
// thread (a modal form runs), it takes them; otherwise they are shown to the user with
// ReportError, owned by the window's top-level window.
class ErrorSink {
public:
    virtual ~ErrorSink() = default;
    virtual void Take(HWND window, std::exception_ptr error) = 0;
};

// Installs a sink for its own lifetime; sinks nest, the innermost takes the errors.
class ScopedErrorSink {
public:
    explicit ScopedErrorSink(ErrorSink& sink);
    ~ScopedErrorSink();
    ScopedErrorSink(const ScopedErrorSink&) = delete;
    ScopedErrorSink& operator=(const ScopedErrorSink&) = delete;

private:
    ErrorSink* previous_;
};

void HandleWindowError(HWND window, std::exception_ptr error);
