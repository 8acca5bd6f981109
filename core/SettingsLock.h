// Settings that several running instances share and any of them may be killed while
// writing: one lock across this user's processes, a key of each process's own for what
// it holds for a moment, and keys replaced whole from a complete staged copy, with a
// journal that lets the next holder of the lock finish what a killed instance began.
#pragma once

#include <string>

#include "core/Registry.h"

// This process's own key below kTransientKey (core/SettingsKeys.h), named
// "<process id>-<start time>".
const std::wstring& OwnTransientKey();

// Holds this user's settings lock (a named mutex) while it lives; holds nest within one
// thread. The outermost hold first finishes the replacements that ended instances (or
// a failed step of this one) left unfinished, quietly: a reader goes on whatever.
class SettingsLock {
public:
    SettingsLock();
    ~SettingsLock();
    SettingsLock(const SettingsLock&) = delete;
    SettingsLock& operator=(const SettingsLock&) = delete;
};

// Where this process assembles a key's new content; erased by BeginStaging.
std::wstring StagingKey();
void BeginStaging();

// With the lock held: replaces target by the staged content (no staged key: target is
// removed), then erases alsoErase (a key other than target; empty for none). The step
// is journalled before it starts, so that once begun it is finished, by this process
// or by the next holder of the lock after a kill. When a failure leaves a target that
// did not exist before, that target is removed again and the journal dropped; an
// existing target is finished at the next hold. The error is raised.
void CommitStaged(const std::wstring& target, const std::wstring& alsoErase = L"");

// CopyRegKey, or MoveRegKey when move, made one step under the lock: the copy is staged
// and put in place whole; as they do, nothing happens when from is missing or to exists.
void CopyKeyWhole(const std::wstring& from, const std::wstring& to, bool move);

// EraseRegKey made one step under the lock: once begun, a kill cannot leave part of it.
void EraseKeyWhole(const std::wstring& key);

// With the lock held: finishes every journalled replacement of ended instances and of
// this one, and removes the transient keys of instances that have ended. Errors raised.
void FinishInterruptedWrites();

// Removes this process's transient key, and the transient key itself once it is empty.
void DropOwnTransientKey();
