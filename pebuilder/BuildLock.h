// One unattended build at a time per PE Builder installation: a named mutex of the
// machine keyed by the installation's folder, so that two builds never interleave
// their work on its plug-ins, input.inf and log. A second build waits for the first.
#pragma once

#include <functional>
#include <string>
#include <string_view>

// The mutex's name for a folder given as a full path: the same for every spelling
// that Windows takes as the same folder once made full (letter case, a trailing
// backslash), different for any other folder. "Global\Kitwright.Build." and 16
// hexadecimal digits of a hash of the folder, since a path may be longer than a name.
std::wstring BuildLockName(std::wstring_view fullFolder);

// The folder as a full path in its long form (no 8.3 names) where it exists.
std::wstring FullFolderPath(const std::wstring& folder);

// Holds the lock of the installation in folder while it lives. When another build
// holds it, calls waiting once and waits for it without a time limit; a holder that
// ended without letting go (killed) passes it on. AppError when it cannot be had.
class BuildLock {
public:
    BuildLock(const std::wstring& folder, const std::function<void()>& waiting);
    ~BuildLock();
    BuildLock(const BuildLock&) = delete;
    BuildLock& operator=(const BuildLock&) = delete;

private:
    void* mutex_;
};
