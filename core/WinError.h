// System error codes turned into the text of an AppError.
#pragma once

#include <windows.h>

#include <string>

#include "core/Error.h"

// The system's own description of an error code, without the final line end.
std::wstring SystemMessage(DWORD code);

// Throws AppError with "what" and the system's description of code.
[[noreturn]] void ThrowSystemError(const std::wstring& what, DWORD code);
[[noreturn]] inline void ThrowLastError(const std::wstring& what) { ThrowSystemError(what, ::GetLastError()); }
