// The window base: objects bound from the first message, superclassed system controls,
// errors stopped at the window procedure, and windows gone with their objects.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "core/Error.h"
#include "ui/Window.h"

namespace {

class Recorder : public Window {
public:
    std::vector<UINT> seen;
    bool destroyed = false;

    HWND Make(const WindowClass& windowClass, HWND parent = nullptr)
    {
        return Create(windowClass, 0, parent ? WS_CHILD : WS_OVERLAPPEDWINDOW, L"text", 0, 0, 100, 30, parent, 0);
    }

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        seen.push_back(message);
        if (message == WM_APP) throw AppError(L"failed in a handler");
        if (message == WM_APP + 1) return 42;
        return Default(message, wParam, lParam);
    }
    void OnDestroyed() override { destroyed = true; }
};

class CollectingSink : public ErrorSink {
public:
    std::vector<std::wstring> messages;
    HWND from = nullptr;
    void Take(HWND window, std::exception_ptr error) override
    {
        from = window;
        try {
            std::rethrow_exception(error);
        } catch (const AppError& e) {
            messages.push_back(e.Message());
        }
    }
};

const WindowClass kPlain{L"KitwrightTestPlain"};
const WindowClass kEdit{L"KitwrightTestEdit", L"EDIT"};

}  // namespace

TEST(Window, IsBoundFromItsFirstMessageAndAnswersThroughItsHandler)
{
    Recorder window;
    HWND handle = window.Make(kPlain);
    ASSERT_TRUE(handle);
    EXPECT_EQ(window.Handle(), handle);
    EXPECT_EQ(Window::FromHandle(handle), &window);
    ASSERT_FALSE(window.seen.empty());
    EXPECT_EQ(window.seen.front(), static_cast<UINT>(WM_GETMINMAXINFO));  // sent before WM_NCCREATE
    EXPECT_EQ(::SendMessageW(handle, WM_APP + 1, 0, 0), 42);

    wchar_t text[16]{};
    ::GetWindowTextW(handle, text, 16);
    EXPECT_STREQ(text, L"text");  // DefWindowProc stored it at WM_NCCREATE
}

TEST(Window, SuperclassKeepsTheSystemControlsBehaviour)
{
    Recorder parent, edit;
    parent.Make(kPlain);
    HWND handle = edit.Make(kEdit, parent.Handle());
    ASSERT_TRUE(handle);
    ::SendMessageW(handle, EM_LIMITTEXT, 3, 0);
    ::SetWindowTextW(handle, L"");
    ::SendMessageW(handle, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L"abcdef"));
    wchar_t text[16]{};
    ::GetWindowTextW(handle, text, 16);
    EXPECT_STREQ(text, L"abc");  // the edit's own limit
    EXPECT_EQ(Window::FromHandle(handle), &edit);
}

TEST(Window, ErrorsStopAtTheProcedureAndGoToTheInnermostSink)
{
    Recorder window;
    HWND handle = window.Make(kPlain);
    CollectingSink outer, inner;
    ScopedErrorSink outerScope(outer);
    {
        ScopedErrorSink innerScope(inner);
        EXPECT_EQ(::SendMessageW(handle, WM_APP, 0, 0), 0);
    }
    ::SendMessageW(handle, WM_APP, 0, 0);
    EXPECT_EQ(inner.messages, std::vector<std::wstring>{L"failed in a handler"});
    EXPECT_EQ(inner.from, handle);
    EXPECT_EQ(outer.messages.size(), 1u);
    EXPECT_TRUE(::IsWindow(handle));
}

TEST(Window, DestroyedWindowReleasesItsObjectAndObjectDestroysItsWindow)
{
    Recorder first;
    HWND handle = first.Make(kPlain);
    ::DestroyWindow(handle);
    EXPECT_TRUE(first.destroyed);
    EXPECT_EQ(first.Handle(), nullptr);

    HWND survivor;
    {
        Recorder second;
        survivor = second.Make(kPlain);
        EXPECT_TRUE(::IsWindow(survivor));
    }
    EXPECT_FALSE(::IsWindow(survivor));
}
