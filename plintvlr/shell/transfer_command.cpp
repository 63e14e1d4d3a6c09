#include "plintvlr/shell/transfer_command.h"

#include "plintvlr/db/adatabase.h"
#include "plintvlr/db/download_image.h"
#include "plintvlr/db/project_string_ids.h"
#include "plintvlr/db/qs_globals.h"
#include "plintvlr/db/quellstor.h"
#include "plintvlr/db/text_pool.h"
#include "plintvlr/shell/base/app.h"
#include "plintvlr/shell/base/shell_string_ids.h"
#include "plintvlr/shell/base/str.h"
#include "plintvlr/shell/command_registry.h"
#include "plintvlr/shell/frame_commands.h"
#include "plintvlr/shell/frame_string_ids.h"
#include "plintvlr/shell/main_frame.h"
#include "plintvlr/shell/project_dialogs.h"
#include "plintvlr/shell/project_dialogs_string_ids.h"
#include "plintvlr/shell/project_flow.h"
#include "platform/base/files.h"
#include "platform/base/paths.h"
#include "platform/base/profile.h"
#include "platform/ui/program_start.h"
#include "platform/ui/window_api.h"

#include <cstdio>

namespace {

constexpr int kDefaultGcTrigger = 1200;

int Tell(MDIFrame& frame, const std::string& text, const char* caption, UINT flags)
{
    return TApp::MessageBox(nullptr, frame.GetHandle(), text.c_str(), caption, flags);
}

// The message of a failed compile: every failure is named, none passes.
std::string CompileFailureText(int result)
{
    switch (result) {
    case kImageFileError:
        return Str(kStrDestinationFileError);
    case 4:
        return Str(kStrImageTableUnreadable);
    case 6:
        return Str(kStrImageRecordDamaged);
    case 7:
        return Str(kStrImageRecordTooLarge);
    case kImageDamaged:
        return Str(kStrImageRecordBadLength);
    default: {
        char text[256];
        std::snprintf(text, sizeof text, Str(kStrImageFailed), result);
        return text;
    }
    }
}

// Packs the project's message texts when they have grown past the trigger.
void TidyMessagePool(adatabase& db)
{
    pile pool(kTextPoolCapacity);
    pool.Load();
    const int trigger = GetPrivateProfileInt(Str(kStrSectionApp), Str(kStrKeyGcTrigger), kDefaultGcTrigger,
                                             Str(kStrProfileFileName));
    if (static_cast<std::int64_t>(trigger) < static_cast<std::int64_t>(pool.GetTotalNameLength()))
        db.PackMessageTexts();
}

void WriteHandOff(const THandOff& handOff)
{
    const char* file = Str(kStrHandOffFile);
    const std::string locations = Str(kStrFileLocations);
    WritePrivateProfileString(locations.c_str(), Str(kStrHandOffDatabasePath), handOff.databasePath.c_str(), file);
    WritePrivateProfileString(locations.c_str(), Str(kStrHandOffDatabaseName), handOff.databaseName.c_str(), file);
    WritePrivateProfileString(locations.c_str(), Str(kStrHandOffProtocolPath), handOff.protocolPath.c_str(), file);
    WritePrivateProfileString(locations.c_str(), Str(kStrHandOffSystemPath), handOff.systemPath.c_str(), file);
    const std::string type = Str(kStrQuellstorTypeSection);
    WritePrivateProfileString(type.c_str(), Str(kStrQuellstorTypeKey), handOff.quellstorType.c_str(), file);
}

void StartTransferProgram(MDIFrame& frame)
{
    const UINT code = WinExec(Str(kStrTransferProgram), SW_SHOWNORMAL);
    if (code == 16) {
        if (HWND running = FindWindow(nullptr, Str(kStrTransferWindow)))
            SetFocus(running);
        else
            Tell(frame, Str(kStrTransferRunning), Str(kStrTransferProgram), MB_ICONINFORMATION);
    } else if (code < 32) {
        Tell(frame, Str(kStrCannotStartTransfer), Str(kStrTransferProgram), MB_OK);
    }
}

}  // namespace

THandOff HandOffFor(const std::string& projectName, int panelType)
{
    THandOff handOff;
    handOff.databasePath = ProgramPath(std::string(Str(kStrDbaseTail)) + projectName + "\\");
    handOff.databaseName = projectName + Str(kStrImageExtension);
    handOff.protocolPath = ProgramPath(Str(kStrProtocolTail));
    handOff.systemPath = ProgramPath(Str(kStrSystemTail));
    handOff.quellstorType = Quellstor(panelType).GetTypeCode();
    return handOff;
}

std::array<std::uint32_t, 16> TransferLimits(int panelType)
{
    const Quellstor model(panelType);
    std::array<std::uint32_t, 16> limits{};
    limits[kTableAnalogTags - 1] = static_cast<std::uint32_t>(model.GetMaxAnalogTags());
    limits[kTableDigitalTags - 1] = static_cast<std::uint32_t>(model.GetMaxDigitalTags());
    limits[kTableCommsBlocks - 1] = static_cast<std::uint32_t>(model.GetMaxCommsBlocks());
    limits[kTablePages - 1] = static_cast<std::uint32_t>(model.GetMaxPages());
    limits[kTableOverviewGroups - 1] = static_cast<std::uint32_t>(model.GetMaxOverviewGroups());
    return limits;
}

void RunTransfer(MDIFrame& frame)
{
    adatabase& db = _QSglobals.GetDatabase();
    if (!db.IsOpen())
        return;
    db.EnsureSystemSettingsRecord();
    if (db.GetFreeSize() < 0) {
        Tell(frame, Str(kStrTransferTooLarge), Str(kStrDatabaseTooLarge), MB_ICONINFORMATION);
        return;
    }
    if (!frame.CloseEditorsFirst(false))
        return;

    // The transfer program is looked for in the working directory first.
    SetDriveAndDirectory(_QSglobals.GetProgramDirectory());
    const std::string name = db.GetName();
    const int panelType = db.GetPanelType();
    const THandOff handOff = HandOffFor(name, panelType);
    const std::string folder = adatabase::ProjectFolderFor(name);
    const std::string image = JoinPath(folder, handOff.databaseName);

    int result = 0;
    {
        TWaitCursor wait;
        TidyMessagePool(db);
        const std::array<std::uint32_t, 16> limits = TransferLimits(panelType);
        db.CloseFiles();
        result = BuildDownloadImage(image, folder, panelType, limits);
        db.OpenFiles(name);
    }
    if (result != 0) {
        Tell(frame, CompileFailureText(result), Str(kStrApplicationMessage), MB_ICONEXCLAMATION);
        // An older file at the image path would be sent to the panel as if
        // it were this project: it goes, or the hand-off does not happen.
        const std::string stale = ResolvePath(image);
        if (FileExists(stale) && !FileDelete(stale)) {
            char text[512];
            std::snprintf(text, sizeof text, Str(kStrStaleImage), stale.c_str());
            Tell(frame, text, Str(kStrApplicationMessage), MB_ICONEXCLAMATION);
            return;
        }
    }
    WriteHandOff(handOff);
    TWaitCursor wait;
    StartTransferProgram(frame);
}

void RegisterTransferCommand()
{
    RegisterFrameCommand(CM_TRANSFER, {[](MDIFrame& frame) { RunTransfer(frame); }, nullptr});
}
