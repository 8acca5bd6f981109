// Answers a modal window that the test's own thread shows.
#include "tests/support/DialogDriver.h"

#include <utility>

DialogDriver::DialogDriver(std::wstring windowClass, std::wstring title, std::function<void(HWND)> action)
    : thread_(::GetCurrentThreadId()),
      class_(std::move(windowClass)),
      title_(std::move(title)),
      action_(std::move(action)),
      watcher_([this] { Watch(); })
{
}

DialogDriver::~DialogDriver()
{
    stop_ = true;
    watcher_.join();
}

namespace {

struct Search {
    const std::wstring* windowClass;
    const std::wstring* title;
    HWND found;
};

BOOL CALLBACK Match(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<Search*>(data);
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    if (!::IsWindowVisible(window) || *search->windowClass != name) return TRUE;
    if (!search->title->empty() && WindowText(window) != *search->title) return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

void DialogDriver::Watch()
{
    // A window is shown before it is activated and its dialog manager passes the focus
    // on to a control: the user's turn comes after that (or a second after it showed,
    // for a window that never gets so far).
    int waitedForFocus = 0;
    while (!stop_) {
        Search search{&class_, &title_, nullptr};
        ::EnumThreadWindows(thread_, Match, reinterpret_cast<LPARAM>(&search));
        GUITHREADINFO input{};
        input.cbSize = sizeof input;
        const bool settled = ::GetGUIThreadInfo(thread_, &input) && input.hwndActive == search.found &&
                             input.hwndFocus && input.hwndFocus != search.found;
        if (search.found && !settled && waitedForFocus++ < 100) search.found = nullptr;
        if (search.found) {
            // Marked first: the action may close the window, and the test thread may
            // ask Acted() before this thread runs again.
            acted_ = true;
            action_(search.found);
            return;
        }
        ::Sleep(10);
    }
}

RECT ChildRect(HWND child)
{
    RECT rect{};
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}
