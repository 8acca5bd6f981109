// The settings lock across processes, each process's transient key, and the journalled
// replacement of a key by its staged copy.
#include "core/SettingsLock.h"

#include <windows.h>

#include <cwchar>
#include <mutex>
#include <vector>

#include "core/Error.h"
#include "core/Handles.h"
#include "core/Process.h"
#include "core/SettingsKeys.h"
#include "core/Text.h"
#include "core/WinError.h"

namespace {

// Below a process's own key: the staged content, and the journal of the replacement in
// progress. Target is written last and removed first: while it is there, the staged
// content is complete and belongs at Target.
const wchar_t kStaged[] = L"Staged";
const wchar_t kTarget[] = L"Target";
const wchar_t kErase[] = L"Erase";

std::wstring OwnerName(DWORD pid, uint64_t start) { return std::to_wstring(pid) + L"-" + std::to_wstring(start); }

// "<digits>-<digits>": the name of an instance's key; other names are left alone.
bool IsOwnerName(const std::wstring& name)
{
    size_t dash = name.find(L'-');
    return dash != std::wstring::npos && dash != 0 && dash + 1 != name.size() && dash <= 10 &&
           name.find_first_not_of(L"0123456789-") == std::wstring::npos && name.find(L'-', dash + 1) == std::wstring::npos;
}

// Whether the instance whose key has that name still runs. The start time tells a
// reused process id apart.
bool IsRunning(const std::wstring& owner)
{
    const size_t dash = owner.find(L'-');
    return IsProcessRunning({static_cast<uint32_t>(std::wcstoul(owner.c_str(), nullptr, 10)),
                             std::wcstoull(owner.c_str() + dash + 1, nullptr, 10)});
}

// Only keys below the profiles are ever replaced or erased from a journal: a value
// edited by hand must not name the program key or another place.
bool IsJournalPath(const std::wstring& path) { return path.empty() || StartsWithText(path, SubKeyPath(kProfilesKey, L"")); }

// Finishes the replacement journalled in owner's key, if any: staged content complete,
// so it is put in place again from the start.
void FinishJournal(const std::wstring& owner)
{
    const std::wstring target = ReadRegString(owner, kTarget, L"");
    const std::wstring alsoErase = ReadRegString(owner, kErase, L"");
    if (!target.empty() && IsJournalPath(target) && IsJournalPath(alsoErase)) {
        EraseRegKey(target);
        CopyRegKey(SubKeyPath(owner, kStaged), target);
        if (!alsoErase.empty()) EraseRegKey(alsoErase);
    }
    DeleteRegValue(owner, kTarget);
    DeleteRegValue(owner, kErase);
    EraseRegKey(SubKeyPath(owner, kStaged));
}

// Split at the last backslash: key names may hold any other character.
bool KeyExists(const std::wstring& path)
{
    const size_t cut = path.rfind(L'\\');
    return cut != std::wstring::npos && RegSubKeyExists(path.substr(0, cut), path.substr(cut + 1));
}

// The name of the mutex: one per user, as the settings are.
std::wstring LockName()
{
    const std::wstring sid = CurrentUserSid();
    return L"Local\\Vesmor.Kitwright.Settings" + (sid.empty() ? L"" : L"." + sid);
}

HANDLE LockMutex()
{
    // Kept for the process's life once open: the mutex lasts while any instance has it.
    // An open that failed is tried again at the next lock, not kept.
    static std::mutex opening;
    static KernelHandle mutex;
    std::lock_guard<std::mutex> hold(opening);
    if (!mutex) {
        const std::wstring name = LockName();
        mutex = MakeSharedMutex(name, false);
        if (!mutex) ThrowLastError(L"Cannot create the settings lock " + name);
    }
    return mutex.Get();
}

thread_local int lockDepth = 0;

}  // namespace

const std::wstring& OwnTransientKey()
{
    static const std::wstring key =
        SubKeyPath(kTransientKey, OwnerName(::GetCurrentProcessId(), CurrentProcessStamp().started));
    return key;
}

SettingsLock::SettingsLock()
{
    HANDLE mutex = LockMutex();
    // An instance killed while it held the lock abandons it; the journal says what it left.
    DWORD result = ::WaitForSingleObject(mutex, INFINITE);
    if (result != WAIT_OBJECT_0 && result != WAIT_ABANDONED) ThrowLastError(L"Cannot take the settings lock");
    if (lockDepth++ > 0) return;
    try {
        FinishInterruptedWrites();
    } catch (...) {
    }
}

SettingsLock::~SettingsLock()
{
    --lockDepth;
    ::ReleaseMutex(LockMutex());
}

std::wstring StagingKey() { return SubKeyPath(OwnTransientKey(), kStaged); }

void BeginStaging() { EraseRegKey(StagingKey()); }

void CommitStaged(const std::wstring& target, const std::wstring& alsoErase)
{
    const std::wstring& own = OwnTransientKey();
    if (!IsJournalPath(target) || target.empty() || !IsJournalPath(alsoErase))
        throw AppError(L"The registry key " + target + L" is not one of the settings of a profile.");
    const bool existed = KeyExists(target);
    if (alsoErase.empty())
        DeleteRegValue(own, kErase);
    else
        WriteRegString(own, kErase, alsoErase);
    WriteRegString(own, kTarget, target);
    try {
        FinishJournal(own);
        // Nothing left of the step: the keys go when they hold nothing else (the
        // registry refuses to delete a key with subkeys).
        ::RegDeleteKeyW(HKEY_CURRENT_USER, own.c_str());
        ::RegDeleteKeyW(HKEY_CURRENT_USER, kTransientKey.c_str());
    } catch (...) {
        // A key that appeared only now is not left half-written; the journal would
        // otherwise put it in place at the next hold, after the user was told it failed.
        if (!existed) {
            try {
                DeleteRegValue(own, kTarget);
                DeleteRegValue(own, kErase);
                EraseRegKey(target);
                EraseRegKey(StagingKey());
            } catch (...) {
            }
        }
        throw;
    }
}

void CopyKeyWhole(const std::wstring& from, const std::wstring& to, bool move)
{
    SettingsLock lock;
    if (!KeyExists(from) || KeyExists(to)) return;
    BeginStaging();
    CopyRegKey(from, StagingKey());
    CommitStaged(to, move ? from : L"");
}

void EraseKeyWhole(const std::wstring& key)
{
    SettingsLock lock;
    BeginStaging();
    CommitStaged(key);
}

void FinishInterruptedWrites()
{
    std::vector<std::wstring> owners;
    ListRegSubKeys(kTransientKey, owners);
    for (const std::wstring& owner : owners) {
        const std::wstring key = SubKeyPath(kTransientKey, owner);
        if (key == OwnTransientKey()) {
            FinishJournal(key);
        } else if (IsOwnerName(owner) && !IsRunning(owner)) {
            FinishJournal(key);
            EraseRegKey(key);
        }
    }
}

void DropOwnTransientKey()
{
    EraseRegKey(OwnTransientKey());
    // Fails while another instance has its key there, which is as it should be.
    ::RegDeleteKeyW(HKEY_CURRENT_USER, kTransientKey.c_str());
}
