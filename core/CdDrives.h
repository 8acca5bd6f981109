// The CD/DVD drives the system's management service (WMI) reports, as combo items
// that own their record.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

struct TCDDriverec {
    std::wstring Drive;    // "E:"
    std::wstring Caption;  // model name
    uint8_t Port = 255;    // 255: none reported
    uint8_t TargetId = 255;
    uint8_t LogicalUnit = 255;
    std::wstring Address;  // "port,target,lun"
};

// Replaces the combo's items by one item "(Drive) Caption" per drive. A service that
// cannot be reached or a failed query throws AppError; the combo is then empty.
void FillCdDriveList(HWND combo);

void AddCdDriveItem(HWND combo, const std::wstring& text, const TCDDriverec& record);
const TCDDriverec& CdDriveRecOf(HWND combo, int index);
void DeleteCdDriveItem(HWND combo, int index);
