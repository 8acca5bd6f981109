// A PE Builder installation in a scratch folder for the build and ISO tests: the
// PE Builder simulator and the mkisofs stand-in, plug-ins, input.inf, an install source.
#pragma once

#include <string>
#include <string_view>

#include "core/Ini.h"
#include "core/Settings.h"
#include "tests/support/TestSupport.h"

class ScratchInstallation {
public:
    ScratchInstallation();

    // Empties the settings store and answers fresh settings of the profile "Test"
    // naming this installation, PEB_WAIT on.
    TCurrentSettings MakeCurrentProfile() const;

    const std::wstring& Folder() const { return folder_; }  // the PE Builder folder
    const std::wstring& Source() const { return source_; }  // holds i386\SHELL32.DL_
    const std::wstring& IsoFolder() const { return isoFolder_; }
    std::wstring Path(std::wstring_view relative) const { return folder_ + L"\\" + std::wstring(relative); }
    std::wstring InputInf() const { return Path(L"input.inf"); }

    // input.inf in the ANSI code page, as given.
    void WriteInputInf(std::wstring_view text) const;
    IniDocument ReadInputInf() const;
    std::string InputInfBytes() const { return ReadBytes(InputInf()); }

    // Plugin\relative (an .inf path) with [Version] Signature, [PEBuilder] Name and Enable.
    void WritePlugin(std::wstring_view relative, std::wstring_view name, int enable) const;
    std::string PluginBytes(std::wstring_view relative) const
    {
        return ReadBytes(Path(L"Plugin\\") + std::wstring(relative));
    }

    // pebuilder.sim: the simulator's exit code, last log line and delay.
    void SimulateRun(int exitCode, std::wstring_view lastLogLine, int delayMs = 0) const;

    // What the simulator recorded at its start; Started() is false when it never ran.
    bool Started() const;
    std::wstring Recorded(std::wstring_view section, std::wstring_view key) const;
    // input.inf as the simulator saw it at its start.
    IniDocument InputInfAtStart() const;

private:
    ScratchFolder scratch_;
    std::wstring folder_, source_, isoFolder_;
};

// Waits (up to two minutes) until no process runs the program at this full path.
void WaitUntilProgramEnds(const std::wstring& exePath);
// Ends the processes that run the program at this full path (a test's own children).
void EndProgram(const std::wstring& exePath);

// An ISO 9660 image ("CD001" in the descriptor at 0x8000) with an El Torito boot
// record (descriptor 0x8800).
bool IsBootableIsoImage(const std::string& bytes);
