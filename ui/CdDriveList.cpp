// The CD/DVD drive list of a combo box: one item per drive, each owning its record.
#include "ui/CdDriveList.h"

#include <cstdio>
#include <memory>
#include <vector>

#include "core/CdDrives.h"
#include "core/Error.h"

namespace {

uint8_t NumberOrNone(const std::optional<uint32_t>& number) { return number ? static_cast<uint8_t>(*number) : 255; }

}  // namespace

TCDDriverec CdDriveRecord(const CdDrive& drive)
{
    TCDDriverec record;
    record.Drive = drive.Drive;
    record.Caption = drive.Caption;
    record.Port = NumberOrNone(drive.Port);
    record.TargetId = NumberOrNone(drive.TargetId);
    record.LogicalUnit = NumberOrNone(drive.LogicalUnit);
    wchar_t address[16];
    std::swprintf(address, 16, L"%d,%d,%d", record.Port, record.TargetId, record.LogicalUnit);
    record.Address = address;
    return record;
}

std::wstring CdDriveItemText(const TCDDriverec& record) { return L"(" + record.Drive + L") " + record.Caption; }

void FillCdDriveList(HWND combo)
{
    for (int i = static_cast<int>(::SendMessageW(combo, CB_GETCOUNT, 0, 0)) - 1; i >= 0; --i)
        DeleteCdDriveItem(combo, i);
    // Every drive is read before the first item is added, so a failure part of the way
    // leaves the list empty.
    for (const CdDrive& drive : QueryCdDrives()) {
        const TCDDriverec record = CdDriveRecord(drive);
        AddCdDriveItem(combo, CdDriveItemText(record), record);
    }
}

void AddCdDriveItem(HWND combo, const std::wstring& text, const TCDDriverec& record)
{
    auto copy = std::make_unique<TCDDriverec>(record);
    LRESULT index = ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (index < 0) throw AppError(L"Cannot add the drive " + record.Drive + L" to the list");
    if (::SendMessageW(combo, CB_SETITEMDATA, index, reinterpret_cast<LPARAM>(copy.get())) == CB_ERR) {
        ::SendMessageW(combo, CB_DELETESTRING, index, 0);
        throw AppError(L"Cannot add the drive " + record.Drive + L" to the list");
    }
    copy.release();  // the item owns it now
}

const TCDDriverec& CdDriveRecOf(HWND combo, int index)
{
    LRESULT data = ::SendMessageW(combo, CB_GETITEMDATA, index, 0);
    if (data == CB_ERR || data == 0) throw AppError(L"The drive list has no item " + std::to_wstring(index));
    return *reinterpret_cast<const TCDDriverec*>(data);
}

void DeleteCdDriveItem(HWND combo, int index)
{
    LRESULT data = ::SendMessageW(combo, CB_GETITEMDATA, index, 0);
    if (data == CB_ERR) throw AppError(L"The drive list has no item " + std::to_wstring(index));
    delete reinterpret_cast<TCDDriverec*>(data);
    ::SendMessageW(combo, CB_DELETESTRING, index, 0);
}
