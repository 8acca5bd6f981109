// Unattended builds through the real Kitwright.exe on a scratch PE Builder installation:
// the simulator records what it was given, the mkisofs stand-in makes real images, and
// the program's output goes to a file, as a script's redirection would have it.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <stdexcept>

#include "core/Files.h"
#include "core/Registry.h"
#include "core/RegistryNames.h"
#include "core/Settings.h"
#include "core/StringTable.h"
#include "pebuilder/BuildLock.h"
#include "tests/support/ProcessSupport.h"
#include "tests/support/ScratchInstallation.h"

namespace {

const std::wstring kLab = kProfilesKey + L"\\Lab";

// Kitwright.exe started with its standard output and error in a file, as a script's
// redirection gives it, which the test reads while it waits, looking out for any window
// the program shows. A file rather than a pipe: under Wine a pipe does not reach the
// Unix program behind the mkisofs stand-in, a file does.
class UnattendedRun {
public:
    explicit UnattendedRun(const std::wstring& arguments) : path_(folder_ / L"output.txt")
    {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        FileHandle output(::CreateFileW(path_.c_str(), GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!output) throw std::runtime_error("no output file");
        child_ =
            StartProcess(L"\"" + BinFolder() + L"\\Kitwright.exe\" " + arguments, ProcessOptions{L"", output.Get()});
    }
    ~UnattendedRun()
    {
        if (!ended_) ::TerminateProcess(child_.process.Get(), 0xDEAD);
    }

    // Follows the program, noting any window of it, until its output holds text or (text
    // empty) it has ended: true when the text came. After two minutes it is killed.
    bool WaitFor(const std::wstring& text = L"")
    {
        for (DWORD start = ::GetTickCount(); !ended_;) {
            ended_ = ::WaitForSingleObject(child_.process.Get(), 100) == WAIT_OBJECT_0;
            // Through a handle of its own, so that the writers' file position stays theirs.
            bytes_ = TryReadFileBytes(path_).value_or(bytes_);
            ::EnumWindows(NoteWindow, reinterpret_cast<LPARAM>(this));
            if (!text.empty() && Output().find(text) != std::wstring::npos) return true;
            if (::GetTickCount() - start > 120000) ::TerminateProcess(child_.process.Get(), 0xDEAD);
        }
        return !text.empty() && Output().find(text) != std::wstring::npos;
    }
    // The exit code once the program has ended by itself (0xDEAD: killed after two minutes).
    DWORD Finish()
    {
        WaitFor();
        DWORD code = 0;
        ::GetExitCodeProcess(child_.process.Get(), &code);
        return code;
    }

    std::wstring Output() const
    {
        int size = ::MultiByteToWideChar(CP_UTF8, 0, bytes_.data(), static_cast<int>(bytes_.size()), nullptr, 0);
        std::wstring text(static_cast<size_t>(size), L'\0');
        ::MultiByteToWideChar(CP_UTF8, 0, bytes_.data(), static_cast<int>(bytes_.size()), text.data(), size);
        return text;
    }
    bool WindowShown() const { return windowShown_; }

private:
    static BOOL CALLBACK NoteWindow(HWND window, LPARAM self)
    {
        auto* run = reinterpret_cast<UnattendedRun*>(self);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if (owner == run->child_.id && ::IsWindowVisible(window)) run->windowShown_ = true;
        return TRUE;
    }

    ScratchFolder folder_;
    std::wstring path_;
    ChildProcess child_;
    std::string bytes_;
    bool ended_ = false, windowShown_ = false;
};

class UnattendedBuild : public ::testing::Test {
protected:
    void SetUp() override
    {
        EraseRegKey(kProgramKey);
        WriteRegString(kSystemKey, RegName::Profile, L"Lab");
        // PEB_WAIT off: the unattended build waits all the same.
        WriteProfile(kLab, 1);
        WriteRegString(kLab + L"\\Preset\\Network", L"001", L"Alpha::alpha\\");
        pe.WritePlugin(L"alpha\\alpha.inf", L"Alpha", 0);
        pe.WritePlugin(L"net\\beta\\beta.inf", L"Beta", 1);
        MakeFolders(pe.Path(L"PEOutput"));
        WriteInf(L"buildiso=1\r\n");
    }
    void TearDown() override
    {
        EndProgram(pe.Path(L"pebuilder.exe"));
        WaitUntilProgramEnds(pe.Path(L"mkisofs.exe"));
        EraseRegKey(kProgramKey);
    }

    void WriteProfile(const std::wstring& key, int versionClass) const
    {
        WriteRegString(key, RegName::PEBuilder, pe.Folder() + L"\\");
        WriteRegBool(key, RegName::PEB_WAIT, false);
        WriteRegInteger(key, RegName::PEB_VER, versionClass);
        WriteRegString(key, RegName::BuildParams, L"-auto -exit");
    }
    void WriteInf(const std::wstring& extra) const
    {
        pe.WriteInputInf(L"[input]\r\nsource=" + pe.Source() + L"\\\r\noutdir=PEOutput\\\r\nisofile=" + Image() +
                         L"\r\nskipfiles=0\r\nskipregistry=0\r\n" + extra);
    }

    // Runs Kitwright.exe with the arguments to its end: no window may appear meanwhile.
    DWORD Run(const std::wstring& arguments)
    {
        UnattendedRun run(arguments);
        DWORD code = run.Finish();
        output = run.Output();
        EXPECT_FALSE(run.WindowShown()) << arguments;
        return code;
    }
    bool Printed(const std::wstring& text) const { return output.find(text) != std::wstring::npos; }
    // The program's final line.
    std::wstring LastLine() const
    {
        std::wstring text = output.substr(0, output.find_last_not_of(L"\r\n") + 1);
        return text.substr(text.find_last_of(L'\n') + 1);
    }
    std::wstring Image() const { return pe.IsoFolder() + L"\\pe.iso"; }
    bool BootableImage() const { return FileExists(Image()) && IsBootableIsoImage(ReadBytes(Image())); }

    ScratchInstallation pe;
    std::wstring output;
};

}  // namespace

TEST_F(UnattendedBuild, StandardBuildOfAPresetWaitsEchoesTheLogAndSaysWhereTheImageIs)
{
    ASSERT_EQ(Run(L"/build Network"), 0u) << output;
    ASSERT_TRUE(pe.Started());
    EXPECT_EQ(pe.Recorded(L"Run", L"CommandLine"), L"\"" + pe.Folder() + L"\\pebuilder.exe\" -auto -exit");
    EXPECT_EQ(pe.Recorded(L"Plugins", L"alpha\\alpha.inf"), L"1");
    EXPECT_EQ(pe.Recorded(L"Plugins", L"net\\beta\\beta.inf"), L"0");
    EXPECT_EQ(pe.InputInfAtStart().ReadString(L"input", L"whattodo", L"-"), L"2");
    // The simulator's whole log, its last line included, then the final line.
    EXPECT_TRUE(
        Printed(L"\r\nPE Builder simulator: a stand-in used by Kitwright's tests and demo, not PE Builder.\r\n"))
        << output;
    EXPECT_TRUE(Printed(L"\r\nDone.\r\n")) << output;
    EXPECT_TRUE(
        LastLine().starts_with(L"Kitwright: Built the preset \"Network\" of the profile \"Lab\" (standard) in "))
        << output;
    EXPECT_TRUE(LastLine().ends_with(L": output folder " + pe.Folder() + L"\\PEOutput; ISO image " + Image()))
        << output;
    EXPECT_TRUE(BootableImage());  // made by PE Builder (the simulator) itself
}

TEST_F(UnattendedBuild, CustomBuildOfTheLastBuildEntryOfAnotherProfileSetsTheNamedToggles)
{
    WriteProfile(kProfilesKey + L"\\Other", 2);
    const std::string alpha = pe.PluginBytes(L"alpha\\alpha.inf");
    ASSERT_EQ(Run(L"-LAST-BUILD -profile-name Other /skip REGISTRY /skip iso"), 0u) << output;
    ASSERT_TRUE(pe.Started());
    const IniDocument start = pe.InputInfAtStart();
    EXPECT_EQ(start.ReadString(L"input", L"skipregistry", L"-"), L"1");
    EXPECT_EQ(start.ReadString(L"input", L"skipfiles", L"-"), L"0");
    EXPECT_EQ(start.ReadString(L"input", L"buildiso", L"-"), L"0");
    EXPECT_EQ(start.ReadString(L"input", L"burncd", L"-"), L"1");
    EXPECT_EQ(pe.PluginBytes(L"alpha\\alpha.inf"), alpha);
    EXPECT_TRUE(LastLine().starts_with(
        L"Kitwright: Built the last-build entry of the profile \"Other\" (custom: files, cd) in "))
        << output;
    EXPECT_TRUE(LastLine().ends_with(L": output folder " + pe.Folder() + L"\\PEOutput")) << output;
    EXPECT_FALSE(FileExists(Image()));
}

TEST_F(UnattendedBuild, ImageByTheExternalTemplateIsWaitedForAndItsOutputFollowsTheLog)
{
    WriteRegBool(kLab, RegName::UseExtProgram_BLD, true);
    ASSERT_EQ(Run(L"/build Network"), 0u) << output;
    ASSERT_TRUE(pe.Started());
    // PE Builder was kept from making the image; the template's mkisofs made it, and
    // had ended when Kitwright did.
    EXPECT_EQ(pe.InputInfAtStart().ReadString(L"input", L"buildiso", L"-"), L"0");
    EXPECT_EQ(pe.ReadInputInf().ReadString(L"input", L"buildiso", L"-"), L"1");
    EXPECT_TRUE(BootableImage());
    const size_t logEnd = output.find(L"\r\nDone.\r\n");
    const size_t isoOutput = output.find(L"extents written");
    ASSERT_NE(logEnd, std::wstring::npos) << output;
    ASSERT_NE(isoOutput, std::wstring::npos) << output;
    EXPECT_LT(logEnd, isoOutput);
    EXPECT_TRUE(Printed(L"Kitwright: exit code 0 from \"" + pe.Folder() + L"\\mkisofs.exe\" -iso-level 4")) << output;
    EXPECT_TRUE(LastLine().ends_with(L"; ISO image " + Image())) << output;
}

TEST_F(UnattendedBuild, EachOutcomeHasItsExitCodeAndSaysWhy)
{
    struct Case {
        const wchar_t* arguments;
        std::function<void()> arrange;
        DWORD exitCode;
        std::wstring printed;
    };
    const std::wstring beta = pe.Path(L"Plugin\\net\\beta\\beta.inf");
    const std::wstring marker = pe.Source() + L"\\i386\\SHELL32.DL_";
    const std::vector<Case> cases = {
        {L"/?", [] {}, 0, L"Kitwright.exe /build PRESET | /last-build [/profile-name PROFILE]"},
        {L"/build", [] {}, 2, L"Kitwright: /build needs a name after it."},
        {L"/build Network /iso-only /custom", [] {}, 2, L"/iso-only makes the image the standard way"},
        {L"/build Network /skip cd", [] {}, 2, L"(version class 1) has the parts registry, files, iso."},
        {L"/build Network /profile-name Nobody", [] {}, 3, L"Kitwright: There is no profile \"Nobody\"."},
        {L"/build Nothing", [] {}, 3, L"Kitwright: The profile \"Lab\" has no preset \"Nothing\"."},
        {L"/build Network", [&] { ::DeleteFileW(marker.c_str()); }, 4, Str(RS_006)},
        {L"/build Network", [&] { ::SetFileAttributesW(beta.c_str(), FILE_ATTRIBUTE_READONLY); }, 5, beta},
        {L"/last-build", [&] { pe.SimulateRun(3, L"Done."); }, 6, L"Kitwright: exit code 3 from \""},
        {L"/last-build", [&] { pe.SimulateRun(0, L"[<<] Error: cannot copy"); }, 6, L"\r\n[<<] Error: cannot copy\r\n"},
        {L"/last-build",
         [&] {
             WriteRegBool(kLab, RegName::UseExtProgram_BLD, true);
             WriteRegString(kLab, RegName::ExternalProgram, L"\"@PEBuilder@\\mkisofs.exe\" -no-such-option");
         },
         7, L"(the ISO step failed)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.arguments) + L" " + std::to_wstring(c.exitCode)));
        c.arrange();
        EXPECT_EQ(Run(c.arguments), c.exitCode) << output;
        EXPECT_TRUE(Printed(c.printed)) << output;
        if (c.exitCode >= 2 && c.exitCode <= 5) {
            EXPECT_FALSE(pe.Started()) << output;
        }
        // Back to a sound installation for the next case.
        WriteBytes(marker, "compressed shell32");
        ::SetFileAttributesW(beta.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(pe.Path(L"pebuilder.record").c_str());
        pe.SimulateRun(0, L"Done.");
    }
}

TEST_F(UnattendedBuild, LogLinesAreEchoedWhilePEBuilderRunsAndStoppingItFails)
{
    pe.SimulateRun(0, L"Done.", 120000);
    UnattendedRun run(L"/last-build");
    ASSERT_TRUE(run.WaitFor(L"\r\nCommand line: ")) << run.Output();
    EndProgram(pe.Path(L"pebuilder.exe"));
    EXPECT_EQ(run.Finish(), 6u) << run.Output();
    // The simulator never reached its last line: what was printed came from its log as it grew.
    EXPECT_EQ(run.Output().find(L"Done."), std::wstring::npos) << run.Output();
    EXPECT_FALSE(run.WindowShown());
}

TEST_F(UnattendedBuild, ASecondBuildOfTheInstallationWaitsForTheFirst)
{
    std::optional<BuildLock> first;
    first.emplace(pe.Folder() + L"\\", [] {});
    UnattendedRun second(L"/build Network");
    ASSERT_TRUE(second.WaitFor(L"runs: waiting for it to end.")) << second.Output();
    EXPECT_FALSE(pe.Started());
    first.reset();
    EXPECT_EQ(second.Finish(), 0u) << second.Output();
    EXPECT_TRUE(pe.Started());
}
