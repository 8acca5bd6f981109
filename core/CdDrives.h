// The CD/DVD drives the system's management service (WMI) reports, as plain records.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct CdDrive {
    std::wstring Drive;    // "E:"; empty when the service reports none
    std::wstring Caption;  // model name; empty when the service reports none
    // SCSI port, target id and logical unit; nothing when the service reports none.
    std::optional<uint32_t> Port, TargetId, LogicalUnit;
};

// The drives in the order the service returns them, asked through COM, which the
// calling thread has begun. A service that cannot be reached or a failed query throws
// AppError; a failure part of the way gives no drives at all.
std::vector<CdDrive> QueryCdDrives();
