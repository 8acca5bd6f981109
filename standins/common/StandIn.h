// What the stand-ins share: their own folder, their optional .sim settings and the
// record each writes of how it was started.
#pragma once

#include <string>

#include "core/Ini.h"

// The folder of the running exe, without trailing backslash.
std::wstring ExeFolder();
std::wstring CurrentFolder();

// Section [Simulator] of the file name beside the exe, ANSI or with a byte-order
// mark; a missing file gives an empty document, so every key takes its default.
IniDocument LoadSimulatorSettings(const std::wstring& name);

// Every value of a record is written in double quotes, so that blanks at its ends
// survive INI trimming; readers drop one pair of enclosing quotes.
void WriteRecordValue(IniDocument& record, const std::wstring& section, const std::wstring& key,
                      const std::wstring& value);
// Replaces the file with the record's text in UTF-8 with a byte-order mark.
void SaveRecord(const std::wstring& path, const IniDocument& record);

// The run's start: the command line as received and the current folder, into [Run].
void RecordStart(IniDocument& record);

// Waits the settings' DelayMs milliseconds (default 0).
void SimulateDelay(const IniDocument& settings);
