// The CD/DVD drives the system's management service (WMI) reports.
#include "core/CdDrives.h"

#include <windows.h>

#include <oleauto.h>
#include <wbemcli.h>

#include <cstdio>
#include <vector>

#include "core/Handles.h"
#include "core/WinError.h"

namespace {

// The query as one text, each line ending with CR LF.
constexpr const wchar_t* kDriveQuery =
    L"Select            \r\n"
    L"  SCSIPort,       \r\n"
    L"  SCSITargetId,   \r\n"
    L"  SCSILogicalUnit,\r\n"
    L"  Caption,        \r\n"
    L"  Drive           \r\n"
    L"From              \r\n"
    L"  Win32_CDROMDrive\r\n";

class Bstr {
public:
    explicit Bstr(const wchar_t* text) : bstr_(::SysAllocString(text)) {}
    ~Bstr() { ::SysFreeString(bstr_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR Get() const { return bstr_; }

private:
    BSTR bstr_;
};

class Variant {
public:
    Variant() { ::VariantInit(&value_); }
    ~Variant() { ::VariantClear(&value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    VARIANT* Put() { return &value_; }
    const VARIANT& Get() const { return value_; }

private:
    VARIANT value_;
};

void CheckWmi(HRESULT result, const wchar_t* what)
{
    if (SUCCEEDED(result)) return;
    // WMI's own codes (0x8004xxxx) have no system text; the number then names them.
    wchar_t code[16];
    std::swprintf(code, 16, L" (0x%08lX)", static_cast<unsigned long>(result));
    throw AppError(std::wstring(what) + L"\r\n" + SystemMessage(static_cast<DWORD>(result)) + code);
}

// A property counts as null when the object does not have it (Wine leaves out what it
// does not know) or when its value is null or cannot be read as the type wanted.
bool ReadProperty(IWbemClassObject* object, const wchar_t* name, VARTYPE type, Variant& value)
{
    if (FAILED(object->Get(name, 0, value.Put(), nullptr, nullptr))) return false;
    if (value.Get().vt == VT_NULL || value.Get().vt == VT_EMPTY) return false;
    return SUCCEEDED(::VariantChangeType(value.Put(), value.Put(), 0, type));
}

std::optional<uint32_t> NumberProperty(IWbemClassObject* object, const wchar_t* name)
{
    Variant value;
    if (!ReadProperty(object, name, VT_I4, value)) return std::nullopt;
    return static_cast<uint32_t>(value.Get().lVal);
}

std::wstring TextProperty(IWbemClassObject* object, const wchar_t* name)
{
    Variant value;
    if (!ReadProperty(object, name, VT_BSTR, value) || !value.Get().bstrVal) return {};
    return std::wstring(value.Get().bstrVal, ::SysStringLen(value.Get().bstrVal));
}

// WMI on Windows runs in another process; its calls need leave to act for this user.
void AllowImpersonation(IUnknown* proxy)
{
    // In-process providers (Wine's) are no proxies and refuse; that is fine.
    ::CoSetProxyBlanket(proxy, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                        RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
}

CdDrive ReadDrive(IWbemClassObject* object)
{
    CdDrive drive;
    drive.Port = NumberProperty(object, L"SCSIPort");
    drive.TargetId = NumberProperty(object, L"SCSITargetId");
    drive.LogicalUnit = NumberProperty(object, L"SCSILogicalUnit");
    drive.Caption = TextProperty(object, L"Caption");
    drive.Drive = TextProperty(object, L"Drive");
    return drive;
}

}  // namespace

std::vector<CdDrive> QueryCdDrives()
{
    const wchar_t* what = L"Cannot ask the system management service (WMI) for the CD/DVD drives";
    ComPtr<IWbemLocator> locator;
    CheckWmi(::CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                reinterpret_cast<void**>(locator.Receive())),
             what);
    ComPtr<IWbemServices> services;
    Bstr space(L"\\\\.\\root\\CIMV2");
    CheckWmi(locator->ConnectServer(space.Get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr, services.Receive()),
             what);
    AllowImpersonation(services.Get());

    ComPtr<IEnumWbemClassObject> found;
    Bstr language(L"WQL");
    Bstr query(kDriveQuery);
    CheckWmi(services->ExecQuery(language.Get(), query.Get(), WBEM_FLAG_RETURN_IMMEDIATELY, nullptr, found.Receive()),
             what);
    AllowImpersonation(found.Get());

    std::vector<CdDrive> drives;
    for (;;) {
        ComPtr<IWbemClassObject> drive;
        ULONG returned = 0;
        CheckWmi(found->Next(WBEM_INFINITE, 1, drive.Receive(), &returned), what);
        if (returned == 0) break;
        drives.push_back(ReadDrive(drive.Get()));
    }
    return drives;
}
