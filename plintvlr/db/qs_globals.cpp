#include "plintvlr/db/qs_globals.h"

#include "platform/base/paths.h"
#include "platform/base/profile.h"
#include "platform/base/little_endian.h"
#include "plintvlr/db/cb_class.h"
#include "plintvlr/db/ov_class.h"
#include "plintvlr/db/project_string_ids.h"
#include "plintvlr/db/quellstor.h"
#include "plintvlr/shell/base/app.h"
#include "plintvlr/shell/base/shell_string_ids.h"
#include "plintvlr/shell/base/str.h"

#include <cstdio>
#include <cstring>

qsGlobals _QSglobals;

namespace {

constexpr const char* kStylesProfile = "styles.cfg";
constexpr const char* kStylesSection = "BW_BUTTONS";
constexpr int kStyleCount = 20;
constexpr PanelPoint kDefaultStylePoint{50, 50};

// The five transfer keys with their defaults, in the order of the bytes.
struct TransferKey {
    int keyId;
    int defaultValue;
};
constexpr TransferKey kTransferKeys[5] = {
    {kStrKeyBaud, 8}, {kStrKeyParity, 1}, {kStrKeyStopBits, 1}, {kStrKeyCharBits, 3}, {kStrKeyPort, 1},
};

std::string ProfileFile()
{
    return Str(kStrProfileFileName);
}

// Splits "a.bmp, b.bmp,c.bmp" into four names; blanks and tabs before a
// name are skipped, each name keeps at most 79 characters.
void SplitStyleFiles(const std::string& value, std::string (&names)[4])
{
    std::size_t at = 0;
    for (std::string& name : names) {
        name.clear();
        while (at < value.size() && (value[at] == ' ' || value[at] == '\t'))
            ++at;
        std::size_t comma = value.find(',', at);
        std::size_t end = comma == std::string::npos ? value.size() : comma;
        name = value.substr(at, end - at < 79 ? end - at : 79);
        at = comma == std::string::npos ? value.size() : comma + 1;
    }
}

}  // namespace

qsGlobals::qsGlobals() : owned_(std::make_unique<adatabase>()), database_(owned_.get()) {}

qsGlobals::~qsGlobals() = default;

std::string qsGlobals::GetProgramDirectory() const
{
    return programDirectory_.empty() ? ProgramFolder() : programDirectory_;
}

void qsGlobals::SetTransferSettings(BYTE baud, BYTE parity, BYTE stopBits, BYTE charBits, BYTE port)
{
    transfer_ = {baud, parity, stopBits, charBits, port};
}

void qsGlobals::GetTransferSettings(BYTE& baud, BYTE& parity, BYTE& stopBits, BYTE& charBits, BYTE& port) const
{
    baud = transfer_[0];
    parity = transfer_[1];
    stopBits = transfer_[2];
    charBits = transfer_[3];
    port = transfer_[4];
}

int qsGlobals::GetPanelLimit(int panelType, int kind)
{
    if (kind == 6)
        return 100;
    if (kind == 10)
        return 1;
    Quellstor qs(panelType);
    switch (kind) {
    case 0: return qs.GetMaxCommsBlocks();
    case 1: return qs.GetMaxPages();
    case 2: return qs.GetMaxAnalogTags();
    case 3: return qs.GetMaxDigitalTags();
    case 4: return qs.GetMaxOverviewGroups();
    case 7: return qs.GetMaxPanelRegister();
    case 8: return qs.GetInternalRegisterCount();
    case 9: return qs.GetMaxPanelBit();
    default: return 1;
    }
}

void qsGlobals::WriteProjectSettings()
{
    const std::string file = ProfileFile();
    const std::string section = Str(kStrSectionDatabase);
    const std::string name = GetDatabase().GetName().substr(0, 32);
    WritePrivateProfileString(section.c_str(), Str(kStrKeyDatabaseName), name.c_str(), file.c_str());
    WritePrivateProfileString(section.c_str(), Str(kStrKeyDatabasePath), projectDirectory_.c_str(), file.c_str());
}

void qsGlobals::WriteSettings()
{
    WriteProjectSettings();
    const std::string file = ProfileFile();
    const std::string section = Str(kStrSectionTransfer);
    for (std::size_t i = 0; i < transfer_.size(); ++i) {
        const std::string value = std::to_string(transfer_[i]);
        WritePrivateProfileString(section.c_str(), Str(kTransferKeys[i].keyId), value.c_str(), file.c_str());
    }
    GetDatabase().SaveProjectInfo();
}

int qsGlobals::LoadSettings()
{
    if (programDirectory_.empty())
        programDirectory_ = ProgramFolder();
    const ProfileSnapshot profile(ProfileFile().c_str());

    // The transfer settings are read whatever becomes of the project, so a
    // later save writes back what the engineer set, not zeros.
    const std::string transferSection = Str(kStrSectionTransfer);
    BYTE values[5];
    for (std::size_t i = 0; i < transfer_.size(); ++i)
        values[i] = static_cast<BYTE>(
            profile.GetInt(transferSection.c_str(), Str(kTransferKeys[i].keyId), kTransferKeys[i].defaultValue));
    SetTransferSettings(values[0], values[1], values[2], values[3], values[4]);

    char name[10] = {};
    const std::string section = Str(kStrSectionDatabase);
    profile.GetString(section.c_str(), Str(kStrKeyDatabaseName), "", name, sizeof name);
    if (name[0] == '\0' || !IsValidProjectName(name))
        return 0;
    adatabase& db = GetDatabase();
    if (!db.ProjectExists(name))
        return 0;
    if (db.OpenProject(name))
        return 1;
    db.Close();
    if (GetMainWindowHandle())
        return 0;

    const std::string fallback = FirstFreeDefaultName(db);
    if (fallback.empty())
        return 0;
    adatabase& fresh = NewDatabase();
    if (!fresh.Create(fallback) || !fresh.OpenProject(fallback)) {
        fresh.Close();
        return 0;
    }
    return 1;
}

void qsGlobals::ReloadProjectData()
{
    adatabase& db = GetDatabase();
    ProjectHooks& hooks = GetProjectHooks();
    GetCbList().Load(db);
    GetOvList().Load(db);
    if (GetMainWindowHandle() && hooks.reloadRecipeGroups)
        hooks.reloadRecipeGroups(db);
    ProjectBitmapLibrary* bitmaps = hooks.bitmapLibrary;
    if (!bitmaps)
        return;
    bitmaps->ClearAll();
    bitmaps->Load();
    Quellstor qs(db.GetPanelType());
    if (qs.UsesStyleBitmaps() && !qs.IsLargeMemoryModel()) {
        const std::string program = GetProgramDirectory();
        std::string files[4];
        for (int i = 0; i < 4; ++i)
            files[i] = JoinPath(program, "styles\\bw00_" + std::to_string(i) + ".bmp");
        int style = bitmaps->AddStyleFromFiles(files);
        if (style >= 0)
            bitmaps->SetStylePoints(style, kDefaultStylePoint, kDefaultStylePoint);
        LoadStyleBitmaps(kStylesProfile, 'S');
    }
}

void qsGlobals::LoadStyleBitmaps(const char* profile, char prefix)
{
    ProjectBitmapLibrary* bitmaps = GetProjectHooks().bitmapLibrary;
    if (!bitmaps)
        return;
    const std::string program = GetProgramDirectory();
    // Up to forty keys: the file is read once.
    const ProfileSnapshot styles(profile);
    for (int i = 0; i < kStyleCount; ++i) {
        const std::string stem = std::string(1, prefix) + std::to_string(i);
        char value[320] = {};
        styles.GetString(kStylesSection, (stem + "Bmps").c_str(), "", value, sizeof value);
        if (value[0] == '\0')
            continue;
        std::string files[4];
        SplitStyleFiles(value, files);
        for (std::string& file : files)
            if (!file.empty() && !IsAbsolutePath(file))
                file = JoinPath(program, file);
        int style = bitmaps->AddStyleFromFiles(files);
        if (style < 0)
            break;
        char centers[80] = {};
        styles.GetString(kStylesSection, (stem + "Centers").c_str(), "", centers, sizeof centers);
        int p[4] = {50, 50, 50, 50};
        if (centers[0] != '\0')
            std::sscanf(centers, "%d,%d,%d,%d", &p[0], &p[1], &p[2], &p[3]);
        bitmaps->SetStylePoints(style, {p[0], p[1]}, {p[2], p[3]});
    }
}

int qsGlobals::SetStartupFlag(int value)
{
    std::uint8_t record[3];
    PutLe16(record, kRecStartupFlag);
    record[2] = static_cast<std::uint8_t>(value);
    return GetDatabase().PutSystemRecord(kRecStartupFlag, record, sizeof record);
}

int qsGlobals::GetStartupFlag()
{
    std::uint8_t record[16] = {};
    std::uint16_t length = sizeof record;
    if (GetDatabase().GetSystemRecord(kRecStartupFlag, record, length) != DF_OK || length < 3)
        return -1;
    return record[2];
}

adatabase& qsGlobals::NewDatabase()
{
    owned_.reset();
    owned_ = std::make_unique<adatabase>();
    database_ = owned_.get();
    return *database_;
}

qsGlobals::DatabaseOverride::DatabaseOverride(qsGlobals& globals, adatabase& db)
    : globals_(globals), previous_(globals.database_)
{
    globals_.database_ = &db;
}

qsGlobals::DatabaseOverride::~DatabaseOverride()
{
    globals_.database_ = previous_;
}

std::string FirstFreeDefaultName(adatabase& db)
{
    const std::string base = "DEFAULT";
    for (int n = 0; n < 65535; ++n) {
        const std::string number = std::to_string(n);
        const std::string name = base.substr(0, 8 - number.size()) + number;
        if (!db.ProjectExists(name))
            return name;
    }
    return {};
}
