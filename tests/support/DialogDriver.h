// Answers a modal window that the test's own thread shows: another thread waits for
// the window and then acts on it with messages, as a user would.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "tests/support/ProcessSupport.h"  // WindowText

class DialogDriver {
public:
    // Watches the calling thread for a visible top-level window of windowClass (and
    // title, unless empty); once it shows, calls action with it on the driver thread.
    DialogDriver(std::wstring windowClass, std::wstring title, std::function<void(HWND)> action);
    // Stops watching (when the window never came) and waits for the action to end.
    ~DialogDriver();
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    bool Acted() const { return acted_; }

private:
    void Watch();

    DWORD thread_;
    std::wstring class_, title_;
    std::function<void(HWND)> action_;
    std::atomic<bool> stop_{false}, acted_{false};
    std::thread watcher_;
};

// A child's rectangle in its parent's client coordinates.
RECT ChildRect(HWND child);
