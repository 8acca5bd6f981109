// The ISO command.
#include "pebuilder/IsoRun.h"

#include <windows.h>

#include "core/Files.h"
#include "core/IniFile.h"
#include "core/Messages.h"
#include "core/Process.h"
#include "core/StringTable.h"
#include "core/Text.h"
#include "pebuilder/Installation.h"
#include "pebuilder/InputInf.h"
#include "pebuilder/IsoTemplate.h"
#include "pebuilder/RunSteps.h"

namespace {

// The folder part of the ISO file: everything up to its last backslash.
std::wstring IsoFolderOf(const std::wstring& isoFile)
{
    size_t slash = isoFile.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : isoFile.substr(0, slash);
}

// Every value, the output folder too, comes from inf as it is when the command is made.
std::wstring ExpandWith(const TCurrentSettings& settings, const std::wstring& templ, const IniDocument& inf)
{
    const std::wstring outDir = EffectiveOutDir(inf, settings.PEBuilder, settings.PEB_VER);
    return ExpandIsoTemplate(templ, inf,
                             IsoTemplateFolders{settings.PEBuilder, ExtractFileDir(ExecutablePath()), outDir});
}

// Without a watch nobody waits for the image: the run ends when the program has started.
RunOutcome RunExternalProgram(const std::wstring& commandLine, RunWatch* watch)
{
    try {
        if (!watch) {
            RunProgram(commandLine, false);
            return RunOutcome::Started;
        }
        uint32_t exitCode = WaitForProcess(StartProcess(commandLine, watch->ProgramOptions()), commandLine);
        watch->ProgramEnded(commandLine, exitCode);
        return exitCode == 0 ? RunOutcome::Succeeded : RunOutcome::IsoFailed;
    } catch (const AppError& error) {
        throw RunFailure(RunOutcome::IsoFailed, error.Message());
    }
}

}  // namespace

std::wstring ExpandIsoTemplate(const TCurrentSettings& settings, const std::wstring& templ,
                               const std::wstring& inputInfPath)
{
    return ExpandWith(settings, templ, LoadIniFile(inputInfPath).doc);
}

RunOutcome ISO_PEBuilderExecute(const TCurrentSettings& settings, bool senderPresent, const RunInputs& inputs,
                                UserPrompt& prompt, RunWatch* watch)
{
    const int versionClass = VersionClassOf(settings.PEB_VER);
    const std::wstring inf = InputInfPath(settings.PEBuilder);
    CopySelectedPresetSettings(settings, inputs, inf, L"", CopyOrder::IsoRun);

    {
        const IniFile file = LoadIniFile(inf);
        const std::wstring isoFolder = IsoFolderOf(Trim(file.doc.ReadString(kInputSection, L"isofile", L"")));
        if (isoFolder.empty() || !DirectoryExists(isoFolder)) {
            prompt.Error(TwoPartMessage(RS_012, RS_003));
            return RunOutcome::CheckFailed;
        }
        if (!FileExists(BootSectorPath(EffectiveOutDir(file.doc, settings.PEBuilder, versionClass)))) {
            prompt.Error(Str(RS_014));
            return RunOutcome::CheckFailed;
        }
    }
    if (senderPresent && !prompt.Ask(Str(RS_015), Str(RS_103))) return RunOutcome::Declined;

    // Loaded after the question: the user may have changed the file meanwhile.
    IniFile file = LoadIniFile(inf);
    if (inputs.CustomStyle) ApplyCustomToggles(file.doc, versionClass, inputs.Toggles);

    if (!senderPresent || settings.UseExtProgram_ISO) {
        if (inputs.CustomStyle) SaveIniFile(file);
        if (!FileExists(SourceMarkerPath(SourceFolderOf(file.doc)))) {
            prompt.Error(TwoPartMessage(RS_016, RS_007));
            return RunOutcome::CheckFailed;
        }
        return RunExternalProgram(ExpandWith(settings, settings.ExternalProgram, file.doc), watch);
    }

    file.doc.WriteString(kInputSection, L"outdir", InputFolderValue(file.doc, L"outdir"));
    file.doc.WriteInteger(kInputSection, L"whattodo", 3);
    SaveIniFile(file);
    // PE Builder's exit code and log say whether it made the image, when it was waited for.
    uint32_t exitCode = 0;
    try {
        exitCode = RunPEBuilder(settings.PEBuilder, settings.ISOParams, settings.PEB_WAIT, watch);
    } catch (const RunFailure& failure) {
        throw RunFailure(RunOutcome::IsoFailed, failure.Message());
    }
    if (!watch && !settings.PEB_WAIT) return RunOutcome::Started;
    return PEBuilderSucceeded(settings.PEBuilder, exitCode) ? RunOutcome::Succeeded : RunOutcome::IsoFailed;
}
