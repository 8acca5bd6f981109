// The settings store over the registry. Every routine opens what it needs and closes
// it again before it returns.
#include "core/Registry.h"

#include <windows.h>

#include <algorithm>
#include <iterator>
#include <map>

#include "core/Error.h"
#include "core/Handles.h"
#include "core/Messages.h"
#include "core/Text.h"
#include "core/WinError.h"

namespace {

std::wstring ValuePath(const std::wstring& key, const std::wstring& name) { return key + L"\\" + name; }

// Opens an existing key; an empty handle when it is not there. Other failures throw.
RegKey OpenKey(const std::wstring& key, REGSAM access)
{
    RegKey handle;
    LONG status = ::RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, access, handle.Receive());
    if (status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND) return RegKey();
    if (status != ERROR_SUCCESS) ThrowSystemError(L"Cannot open the registry key " + key, status);
    return handle;
}

RegKey CreateKey(HKEY parent, const std::wstring& key, const std::wstring& what)
{
    RegKey handle;
    LONG status = ::RegCreateKeyExW(parent, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE,
                                    nullptr, handle.Receive(), nullptr);
    if (status != ERROR_SUCCESS) ThrowSystemError(what, status);
    return handle;
}

struct RawValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

// The value's type and bytes, or nothing when it does not exist. The settings are short:
// a first buffer that holds most of them answers in one query, without asking the size
// first; a longer value is asked again at the size the registry reports.
std::optional<RawValue> QueryValue(HKEY key, const std::wstring& name, const std::wstring& what)
{
    RawValue value;
    value.data.resize(512);
    DWORD size = static_cast<DWORD>(value.data.size());
    LONG status = ::RegQueryValueExW(key, name.c_str(), nullptr, &value.type, value.data.data(), &size);
    while (status == ERROR_MORE_DATA) {  // also when the value grew meanwhile
        value.data.resize(size);
        status = ::RegQueryValueExW(key, name.c_str(), nullptr, &value.type, value.data.data(), &size);
    }
    if (status == ERROR_SUCCESS) {
        value.data.resize(size);
        return value;
    }
    if (status == ERROR_FILE_NOT_FOUND) return std::nullopt;
    ThrowSystemError(what, status);
}

std::wstring TextOf(const RawValue& value)
{
    std::wstring text(reinterpret_cast<const wchar_t*>(value.data.data()), value.data.size() / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
}

[[noreturn]] void ThrowWrongType(const std::wstring& key, const std::wstring& name)
{
    throw AppError(L"The registry value " + ValuePath(key, name) + L" has a type that cannot be read here.");
}

std::wstring TypeName(DWORD type)
{
    switch (type) {
    case REG_NONE: return L"REG_NONE";
    case REG_SZ: return L"REG_SZ";
    case REG_EXPAND_SZ: return L"REG_EXPAND_SZ";
    case REG_BINARY: return L"REG_BINARY";
    case REG_DWORD: return L"REG_DWORD";
    case REG_MULTI_SZ: return L"REG_MULTI_SZ";
    case REG_QWORD: return L"REG_QWORD";
    default: return L"type " + std::to_wstring(type);
    }
}

// def, after the damaged value has been reported and removed.
template <typename T>
T DamagedValueDefault(const std::wstring& key, const std::wstring& name, const RawValue& value, T def)
{
    ResetDamagedValue(key, name,
                      L"is stored as " + TypeName(value.type) + L" of " + std::to_wstring(value.data.size()) +
                          L" bytes, which cannot be read here.");
    return def;
}

// The keys that reads keep open while a RegReadBatch of this thread lives, by path.
thread_local std::vector<std::pair<std::wstring, RegKey>>* heldKeys = nullptr;

// A key that a read uses: held by the batch when one lives, else closed after the read.
// A missing key is not held, so that a key created meanwhile is found by the next read.
HKEY KeyForRead(const std::wstring& key, RegKey& owned)
{
    if (heldKeys)
        for (const auto& [path, handle] : *heldKeys)
            if (path == key) return handle.Get();
    owned = OpenKey(key, KEY_QUERY_VALUE);
    if (!owned || !heldKeys) return owned.Get();
    heldKeys->emplace_back(key, std::move(owned));
    return heldKeys->back().second.Get();
}

std::optional<RawValue> ReadValue(const std::wstring& key, const std::wstring& name)
{
    RegKey owned;
    HKEY handle = KeyForRead(key, owned);
    if (!handle) return std::nullopt;
    return QueryValue(handle, name, L"Cannot read the registry value " + ValuePath(key, name));
}

void SetValue(const std::wstring& key, const std::wstring& name, DWORD type, const void* data, DWORD size)
{
    const std::wstring what = L"Cannot write the registry value " + ValuePath(key, name);
    RegKey handle = CreateKey(HKEY_CURRENT_USER, key, what);
    LONG status = ::RegSetValueExW(handle.Get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    if (status != ERROR_SUCCESS) ThrowSystemError(what, status);
}

// The longest subkey name of the key, in characters, as the key reports it.
DWORD MaxSubKeyNameLength(HKEY key, const std::wstring& what)
{
    DWORD maxName = 0;
    LONG status = ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, &maxName, nullptr, nullptr, nullptr,
                                     nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS) ThrowSystemError(what, status);
    return maxName;
}

// The buffer is sized from what the key reports rather than from the documented limit
// of key names, which the registry does not hold everyone to.
std::vector<std::wstring> SubKeyNames(HKEY key, const std::wstring& path)
{
    const std::wstring what = L"Cannot list the registry key " + path;
    std::vector<std::wstring> names;
    std::wstring name(MaxSubKeyNameLength(key, what) + 1, L'\0');
    for (DWORD index = 0;;) {
        DWORD length = static_cast<DWORD>(name.size());
        LONG status = ::RegEnumKeyExW(key, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status == ERROR_MORE_DATA) {  // a longer name came meanwhile: ask again
            name.assign(std::max<size_t>(MaxSubKeyNameLength(key, what) + 1, name.size() * 2), L'\0');
            continue;
        }
        if (status != ERROR_SUCCESS) ThrowSystemError(what, status);
        names.emplace_back(name.data(), length);
        ++index;
    }
    return names;
}

struct NamedValue {
    std::wstring name;
    RawValue value;
};

// Every value of the key, name, type and bytes, in enumeration order: one pass over
// the open key rather than one open and query per value.
std::vector<NamedValue> Values(HKEY key, const std::wstring& path)
{
    const std::wstring what = L"Cannot list the registry key " + path;
    std::vector<NamedValue> values;
    DWORD maxName = 0, maxData = 0;
    for (DWORD index = 0;;) {
        if (index == 0 || maxName == 0) {
            LONG status = ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                             &maxName, &maxData, nullptr, nullptr);
            if (status != ERROR_SUCCESS) ThrowSystemError(what, status);
        }
        std::wstring name(maxName + 1, L'\0');
        RawValue raw;
        raw.data.resize(maxData);
        DWORD nameLength = maxName + 1, dataSize = maxData;
        LONG status =
            ::RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &raw.type, raw.data.data(), &dataSize);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status == ERROR_MORE_DATA) {
            maxName = 0;  // changed meanwhile: ask the sizes again
            continue;
        }
        if (status != ERROR_SUCCESS) ThrowSystemError(what, status);
        name.resize(nameLength);
        raw.data.resize(dataSize);
        values.push_back({std::move(name), std::move(raw)});
        ++index;
    }
    return values;
}

void EraseTree(HKEY parent, const std::wstring& name, const std::wstring& path)
{
    {
        RegKey key;
        LONG status = ::RegOpenKeyExW(parent, name.c_str(), 0, KEY_READ | DELETE, key.Receive());
        if (status == ERROR_FILE_NOT_FOUND) return;
        if (status != ERROR_SUCCESS) ThrowSystemError(L"Cannot delete the registry key " + path, status);
        std::vector<std::wstring> children = SubKeyNames(key.Get(), path);
        for (auto it = children.rbegin(); it != children.rend(); ++it) EraseTree(key.Get(), *it, path + L"\\" + *it);
    }
    LONG status = ::RegDeleteKeyW(parent, name.c_str());
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        ThrowSystemError(L"Cannot delete the registry key " + path, status);
}

void CopyTree(HKEY from, HKEY to, const std::wstring& fromPath, const std::wstring& toPath)
{
    const std::wstring what = L"Cannot copy the registry key " + fromPath + L" to " + toPath;
    std::vector<NamedValue> values = Values(from, fromPath);
    // The unnamed default value first, then the named ones in enumeration order.
    std::stable_partition(values.begin(), values.end(), [](const NamedValue& v) { return v.name.empty(); });
    for (const NamedValue& v : values) {
        LONG status = ::RegSetValueExW(to, v.name.c_str(), 0, v.value.type, v.value.data.data(),
                                       static_cast<DWORD>(v.value.data.size()));
        if (status != ERROR_SUCCESS) ThrowSystemError(what, status);
    }
    for (const std::wstring& name : SubKeyNames(from, fromPath)) {
        RegKey child;
        LONG status = ::RegOpenKeyExW(from, name.c_str(), 0, KEY_READ, child.Receive());
        if (status != ERROR_SUCCESS) ThrowSystemError(what, status);
        RegKey copy = CreateKey(to, name, what);
        CopyTree(child.Get(), copy.Get(), fromPath + L"\\" + name, toPath + L"\\" + name);
    }
}

bool KeyExists(const std::wstring& key) { return static_cast<bool>(OpenKey(key, KEY_READ)); }

// Copies oldKey to newKey when the guard allows it; true when it copied.
bool CopyGuarded(const std::wstring& oldKey, const std::wstring& newKey)
{
    if (oldKey.find(L"Kitwright") == std::wstring::npos || newKey.find(L"Kitwright") == std::wstring::npos)
        return false;
    RegKey from = OpenKey(oldKey, KEY_READ);
    if (!from || KeyExists(newKey)) return false;
    // A copy below its own source would copy itself without end, and a move would then
    // erase both; a name with a backslash asks for exactly that.
    if (StartsWithText(newKey, oldKey + L"\\"))
        throw AppError(L"The registry key " + oldKey + L" cannot be copied into its own subkey " + newKey + L".");
    RegKey to = CreateKey(HKEY_CURRENT_USER, newKey, L"Cannot create the registry key " + newKey);
    CopyTree(from.Get(), to.Get(), oldKey, newKey);
    return true;
}

int32_t ReadRegNumber(const std::wstring& key, const std::wstring& name, int32_t def)
{
    std::optional<RawValue> value = ReadValue(key, name);
    if (!value) return def;
    if (value->type == REG_SZ) return ParseInteger(TextOf(*value)).value_or(def);
    if (value->type != REG_DWORD || value->data.size() != sizeof(DWORD))
        return DamagedValueDefault(key, name, *value, def);
    int32_t number;
    std::copy_n(value->data.data(), sizeof number, reinterpret_cast<BYTE*>(&number));
    return number;
}

}  // namespace

RegReadBatch::RegReadBatch() : outer_(heldKeys == nullptr)
{
    if (outer_) heldKeys = new std::vector<std::pair<std::wstring, RegKey>>();
}

RegReadBatch::~RegReadBatch()
{
    if (!outer_) return;
    delete heldKeys;
    heldKeys = nullptr;
}

std::wstring ReadRegString(const std::wstring& key, const std::wstring& name, const std::wstring& def)
{
    std::optional<RawValue> value = ReadValue(key, name);
    if (!value) return def;
    if (value->type != REG_SZ && value->type != REG_EXPAND_SZ) return DamagedValueDefault(key, name, *value, def);
    return TextOf(*value);
}

void ResetDamagedValue(const std::wstring& key, const std::wstring& name, const std::wstring& why)
{
    std::wstring text = L"The setting " + ValuePath(key, name) + L" " + why;
    try {
        DeleteRegValue(key, name);
        text += L" It has been removed; its default is used from now on.";
    } catch (const AppError& error) {
        text += L" Its default is used; removing it failed: " + error.Message();
    }
    ReportError(::GetActiveWindow(), AppError(text));
}

bool ReadRegBool(const std::wstring& key, const std::wstring& name, bool def)
{
    return ReadRegNumber(key, name, def ? 1 : 0) != 0;
}

int32_t ReadRegInteger(const std::wstring& key, const std::wstring& name, int32_t def)
{
    return ReadRegNumber(key, name, def);
}

void CreateRegKey(const std::wstring& key)
{
    CreateKey(HKEY_CURRENT_USER, key, L"Cannot create the registry key " + key);
}

void WriteRegString(const std::wstring& key, const std::wstring& name, const std::wstring& text)
{
    SetValue(key, name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void WriteRegBool(const std::wstring& key, const std::wstring& name, bool value)
{
    WriteRegInteger(key, name, value ? 1 : 0);
}

void WriteRegInteger(const std::wstring& key, const std::wstring& name, int32_t value)
{
    SetValue(key, name, REG_DWORD, &value, sizeof value);
}

void EraseRegKey(const std::wstring& key)
{
    // A held handle would go on reading the erased key's values: the batch lets go.
    if (heldKeys) heldKeys->clear();
    EraseTree(HKEY_CURRENT_USER, key, key);
}

void DeleteRegValue(const std::wstring& key, const std::wstring& name)
{
    RegKey handle = OpenKey(key, KEY_SET_VALUE);
    if (!handle) return;
    LONG status = ::RegDeleteValueW(handle.Get(), name.c_str());
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        ThrowSystemError(L"Cannot delete the registry value " + ValuePath(key, name), status);
}

bool RegSubKeyExists(const std::wstring& key, const std::wstring& subKey)
{
    RegKey handle = OpenKey(key, KEY_READ);
    if (!handle) return false;
    RegKey child;
    return ::RegOpenKeyExW(handle.Get(), subKey.c_str(), 0, KEY_READ, child.Receive()) == ERROR_SUCCESS;
}

bool RegValueExists(const std::wstring& key, const std::wstring& name)
{
    RegKey handle = OpenKey(key, KEY_READ);
    return handle &&
           ::RegQueryValueExW(handle.Get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

void ListRegSubKeys(const std::wstring& key, std::vector<std::wstring>& list)
{
    list.clear();
    if (RegKey handle = OpenKey(key, KEY_READ)) list = SubKeyNames(handle.Get(), key);
}

void ListRegValues(const std::wstring& key, std::vector<std::wstring>& list)
{
    RegKey handle = OpenKey(key, KEY_QUERY_VALUE);
    if (!handle) return;
    // The list's lines by name, the first of each name: a preset of a thousand plug-ins
    // would otherwise cost a million comparisons.
    auto less = [](const std::wstring& a, const std::wstring& b) { return CompareText(a, b) < 0; };
    std::map<std::wstring, size_t, decltype(less)> lines(less);
    for (size_t i = 0; i < list.size(); ++i) {
        size_t equals = list[i].find(L'=');
        if (equals != std::wstring::npos) lines.emplace(list[i].substr(0, equals), i);
    }
    std::vector<bool> removed(list.size());
    std::vector<std::wstring> appended;
    for (const NamedValue& v : Values(handle.Get(), key)) {
        if (v.value.type != REG_SZ && v.value.type != REG_EXPAND_SZ) ThrowWrongType(key, v.name);
        std::wstring text = TextOf(v.value);
        auto line = lines.find(v.name);
        if (text.empty()) {
            if (line != lines.end()) removed[line->second] = true;
        } else if (line != lines.end()) {
            list[line->second] = v.name + L"=" + text;
        } else {
            appended.push_back(v.name + L"=" + text);
        }
    }
    size_t kept = 0;
    for (size_t i = 0; i < list.size(); ++i) {
        if (removed[i]) continue;
        if (kept != i) list[kept] = std::move(list[i]);
        ++kept;
    }
    list.resize(kept);
    list.insert(list.end(), std::make_move_iterator(appended.begin()), std::make_move_iterator(appended.end()));
}

void MoveRegKey(const std::wstring& oldKey, const std::wstring& newKey)
{
    if (CopyGuarded(oldKey, newKey)) EraseRegKey(oldKey);
}

void CopyRegKey(const std::wstring& oldKey, const std::wstring& newKey) { CopyGuarded(oldKey, newKey); }
