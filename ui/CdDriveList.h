// The CD/DVD drive list of a combo box: one item per drive, each owning its record.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

struct CdDrive;

struct TCDDriverec {
    std::wstring Drive;    // "E:"
    std::wstring Caption;  // model name
    uint8_t Port = 255;    // 255: none reported
    uint8_t TargetId = 255;
    uint8_t LogicalUnit = 255;
    std::wstring Address;  // "port,target,lun"
};

// The record of a drive as the list keeps it: a SCSI number the system did not report
// is 255, and Address joins the three numbers.
TCDDriverec CdDriveRecord(const CdDrive& drive);
// "(Drive) Caption"
std::wstring CdDriveItemText(const TCDDriverec& record);

// Replaces the combo's items by one item per drive the system's management service
// reports. A service that cannot be reached or a failed query throws AppError; the
// combo is then empty.
void FillCdDriveList(HWND combo);

void AddCdDriveItem(HWND combo, const std::wstring& text, const TCDDriverec& record);
const TCDDriverec& CdDriveRecOf(HWND combo, int index);
void DeleteCdDriveItem(HWND combo, int index);
