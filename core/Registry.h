// The settings store: every persistent setting lives in the current user's registry
// below "Software\Vesmor\Kitwright". Each routine opens the key it needs, does its one
// job and closes the key again; nothing is cached.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/SettingsKeys.h"

// A missing key or value gives def. A value of a type that does not fit is damaged:
// it is reported once (ResetDamagedValue) and reads as def from then on.
std::wstring ReadRegString(const std::wstring& key, const std::wstring& name, const std::wstring& def);
bool ReadRegBool(const std::wstring& key, const std::wstring& name, bool def);
int32_t ReadRegInteger(const std::wstring& key, const std::wstring& name, int32_t def);

// While one lives, reads on this thread keep each key they open open for the reads of
// the same key that follow: several values of one key cost one open rather than one
// each. Values written or deleted meanwhile read as they are; erasing a key lets go of
// every held key. Batches nest: the outermost one holds the keys.
class RegReadBatch {
public:
    RegReadBatch();
    ~RegReadBatch();
    RegReadBatch(const RegReadBatch&) = delete;
    RegReadBatch& operator=(const RegReadBatch&) = delete;

private:
    bool outer_;
};

// A stored value the program cannot use: shows an error naming key\name and why
// (a sentence), then deletes the value so that its default stands at every later read.
// A value that cannot be deleted is said so; the caller goes on with the default.
void ResetDamagedValue(const std::wstring& key, const std::wstring& name, const std::wstring& why);

// Create the key path as needed; a refused write throws AppError naming the value.
void WriteRegString(const std::wstring& key, const std::wstring& name, const std::wstring& text);
void WriteRegBool(const std::wstring& key, const std::wstring& name, bool value);
void WriteRegInteger(const std::wstring& key, const std::wstring& name, int32_t value);

// Creates the key path as needed, with no value; AppError names a key refused.
void CreateRegKey(const std::wstring& key);

// A missing key or value is no error.
void EraseRegKey(const std::wstring& key);
void DeleteRegValue(const std::wstring& key, const std::wstring& name);

bool RegSubKeyExists(const std::wstring& key, const std::wstring& subKey);
bool RegValueExists(const std::wstring& key, const std::wstring& name);

// Clears list, then the direct subkeys in enumeration order.
void ListRegSubKeys(const std::wstring& key, std::vector<std::wstring>& list);
// Sets list's name=value line of every value of the key (see the definition).
void ListRegValues(const std::wstring& key, std::vector<std::wstring>& list);

// Do nothing unless both paths contain "Kitwright", the old key exists and the new
// one does not.
void MoveRegKey(const std::wstring& oldKey, const std::wstring& newKey);
void CopyRegKey(const std::wstring& oldKey, const std::wstring& newKey);
