// The build command.
#include "pebuilder/BuildRun.h"

#include <windows.h>

#include "core/Error.h"
#include "core/Files.h"
#include "core/IniFile.h"
#include "core/Messages.h"
#include "core/Process.h"
#include "core/StringTable.h"
#include "core/Text.h"
#include "pebuilder/BuildRules.h"
#include "pebuilder/Installation.h"
#include "pebuilder/InputInf.h"
#include "pebuilder/IsoRun.h"
#include "pebuilder/Plugins.h"
#include "pebuilder/RunSteps.h"

namespace {

// An install source on a CD has a read-only marker file; PE Builder is told so.
bool IsReadOnlyFile(const std::wstring& path)
{
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

void WriteBuildIso(const std::wstring& inf, int value) { WriteIniInteger(inf, kInputSection, L"buildiso", value); }

}  // namespace

RunOutcome Exec_PEBuilderExecute(const TCurrentSettings& settings, const RunInputs& inputs, UserPrompt& prompt,
                                 RunWatch* watch)
{
    const int versionClass = VersionClassOf(settings.PEB_VER);
    const std::wstring inf = InputInfPath(settings.PEBuilder);
    CopySelectedPresetSettings(settings, inputs, inf, settings.PEBuilder, CopyOrder::Build);

    std::wstring marker;
    {
        const IniFile file = LoadIniFile(inf);
        const std::wstring out = EffectiveOutDir(file.doc, settings.PEBuilder, versionClass);
        if (out.empty() || !DirectoryExists(out)) {
            prompt.Error(TwoPartMessage(RS_002, RS_003));
            return RunOutcome::CheckFailed;
        }
        const std::wstring source = SourceFolderOf(file.doc);
        if (source.empty() || !DirectoryExists(source)) {
            prompt.Error(TwoPartMessage(RS_004, RS_003));
            return RunOutcome::CheckFailed;
        }
        marker = SourceMarkerPath(source);
        if (!FileExists(marker)) {
            prompt.Error(TwoPartMessage(RS_006, RS_007));
            return RunOutcome::CheckFailed;
        }
    }
    if (!prompt.Ask(Str(RS_023), Str(RS_103))) return RunOutcome::Declined;

    // whattodo, the toggles and buildiso are PE Builder's inputs of this run, written at once.
    IniFile file = LoadIniFile(inf);
    file.doc.WriteInteger(kInputSection, L"whattodo", IsReadOnlyFile(marker) ? 0 : 2);
    bool skipBuild = false;
    if (inputs.CustomStyle) {
        ApplyCustomToggles(file.doc, versionClass, inputs.Toggles);
        skipBuild = SkipsBuild(versionClass, inputs.Toggles);
    }
    // With the external program making the image, PE Builder must not make one too.
    const bool isoAfter = settings.UseExtProgram_BLD && file.doc.ReadInteger(kInputSection, L"buildiso", 0) == 1;
    if (isoAfter) file.doc.WriteInteger(kInputSection, L"buildiso", 0);
    {
        // Staged before the first plug-in changes: an input.inf that cannot be written
        // (held open by another program, read-only, a full disk) stops the build while
        // the plug-ins are still as they were.
        StagedFile staged = StageIniFile(file);
        if (inputs.IsPreset()) {
            try {
                ApplyPresetToPlugins(settings, inputs.SelectedText);
            } catch (const AppError& error) {
                throw RunFailure(RunOutcome::PluginsNotSwitched, error.Message());
            }
        }
        staged.Commit();
        RepaintWindows();
    }

    const std::wstring log = PEBuilderLogPath(settings.PEBuilder);
    uint32_t exitCode = 0;
    const bool startsPEBuilder = !skipBuild || !isoAfter;
    // The image step reads this run's log and images this run's output, and buildiso
    // goes back only once PE Builder has read it: so when the image follows, PE
    // Builder is waited for whatever PEB_WAIT says.
    const bool waited = watch || settings.PEB_WAIT || isoAfter;
    try {
        if (skipBuild) WriteFileAtomic(log, "\r\n");  // one empty line: a log that lets the image follow
        if (startsPEBuilder) exitCode = RunPEBuilder(settings.PEBuilder, settings.BuildParams, waited, watch);
    } catch (const AppError&) {
        // PE Builder never ran: no image, and buildiso as the user had it.
        if (isoAfter) WriteBuildIso(inf, 1);
        throw;
    }
    if (!isoAfter) {
        if (!waited) return RunOutcome::Started;
        return PEBuilderSucceeded(settings.PEBuilder, exitCode) ? RunOutcome::Succeeded : RunOutcome::PEBuilderFailed;
    }

    WriteBuildIso(inf, 1);
    if (!PEBuilderSucceeded(settings.PEBuilder, exitCode)) return RunOutcome::PEBuilderFailed;
    return ISO_PEBuilderExecute(settings, false, inputs, prompt, watch);
}
