// The settings store: every persistent setting lives in the current user's registry
// below "Software\Vesmor\Kitwright". Each routine opens the key it needs, does its one
// job and closes the key again; nothing is cached.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Root selector of every routine: 1 HKEY_CLASSES_ROOT, 3 HKEY_LOCAL_MACHINE,
// 4 HKEY_USERS, 5 HKEY_CURRENT_CONFIG, 6 HKEY_DYN_DATA, anything else (the program
// always passes 0) HKEY_CURRENT_USER.
using RegistryRoot = int;

inline const std::wstring kProgramKey = L"Software\\Vesmor\\Kitwright";

// A missing key or value gives def. A value of a type that does not fit throws
// AppError naming the value.
std::wstring ReadRegString(RegistryRoot root, const std::wstring& key, const std::wstring& name,
                           const std::wstring& def);
bool ReadRegBool(RegistryRoot root, const std::wstring& key, const std::wstring& name, bool def);
int32_t ReadRegInteger(RegistryRoot root, const std::wstring& key, const std::wstring& name, int32_t def);

// Create the key path as needed; a refused write throws AppError naming the value.
void WriteRegString(RegistryRoot root, const std::wstring& key, const std::wstring& name, const std::wstring& text);
void WriteRegBool(RegistryRoot root, const std::wstring& key, const std::wstring& name, bool value);
void WriteRegInteger(RegistryRoot root, const std::wstring& key, const std::wstring& name, int32_t value);

// A missing key or value is no error.
void EraseRegKey(RegistryRoot root, const std::wstring& key);
void DeleteRegValue(RegistryRoot root, const std::wstring& key, const std::wstring& name);

bool RegSubKeyExists(RegistryRoot root, const std::wstring& key, const std::wstring& subKey);
bool RegValueExists(RegistryRoot root, const std::wstring& key, const std::wstring& name);

// Clears list, then the direct subkeys in enumeration order.
void ListRegSubKeys(RegistryRoot root, const std::wstring& key, std::vector<std::wstring>& list);
// Sets list's name=value line of every value of the key (see the definition).
void ListRegValues(RegistryRoot root, const std::wstring& key, std::vector<std::wstring>& list);

// Do nothing unless both paths contain "Kitwright", the old key exists and the new
// one does not.
void MoveRegKey(RegistryRoot root, const std::wstring& oldKey, const std::wstring& newKey);
void CopyRegKey(RegistryRoot root, const std::wstring& oldKey, const std::wstring& newKey);
