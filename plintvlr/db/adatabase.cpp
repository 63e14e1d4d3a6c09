#include "plintvlr/db/adatabase.h"

#include "platform/base/files.h"
#include "platform/base/paths.h"
#include "platform/base/little_endian.h"
#include "plintvlr/db/atag.h"
#include "plintvlr/db/atag_registry.h"
#include "plintvlr/db/dtag_registry.h"
#include "plintvlr/db/menv_registry.h"
#include "plintvlr/db/project_string_ids.h"
#include "plintvlr/db/prot_lib.h"
#include "plintvlr/db/protocol_info_file.h"
#include "plintvlr/db/qs_globals.h"
#include "plintvlr/db/quellstor.h"
#include "plintvlr/db/v3_file.h"
#include "plintvlr/shell/base/app.h"
#include "plintvlr/shell/base/str.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

constexpr const char* kBitmapNamesFile = "BITMAPS.NAM";
constexpr const char* kRecipeCounterFile = "rcpcount.wcf";
constexpr const char* kOldSystemFile = "dtb-08.dbs";

constexpr std::uint16_t kPortSettingsLength = 12;
constexpr std::uint16_t kSystemSettingsLength = 16;
constexpr std::uint16_t kPasswordsLength = 42;
constexpr std::uint16_t kSystemSettings2Length = 103;
constexpr std::size_t kChannelRowSize = 36;

// The bytes every used size counts beyond the tables.
constexpr std::int32_t kFixedOverhead = 123;

bool IsValidTable(int table)
{
    for (int t : kProjectTables)
        if (t == table)
            return true;
    return false;
}

// Tables whose totals the walks in key order rebuild.
bool IsCountedByWalk(int table)
{
    return table == 1 || table == 2 || table == 3 || table == 10 || table == 11 || table == 15;
}

// Copies text into a fixed field: at most `width` bytes, the rest zeros.
void PutField(std::uint8_t* field, std::size_t width, std::string_view text)
{
    std::memset(field, 0, width);
    std::memcpy(field, text.data(), text.size() < width ? text.size() : width);
}

// The text of a fixed field: up to its first NUL, at most `width` bytes.
std::string GetField(const std::uint8_t* field, std::size_t width)
{
    std::size_t n = 0;
    while (n < width && field[n] != 0)
        ++n;
    return std::string(reinterpret_cast<const char*>(field), n);
}

std::vector<std::uint8_t> PortSettingsDefaults()
{
    std::vector<std::uint8_t> r(kPortSettingsLength, 0);
    PutLe16(r.data(), kRecPortSettings);
    const std::uint8_t serial[4] = {8, 1, 1, 3};
    std::memcpy(&r[2], serial, 4);
    std::memcpy(&r[6], serial, 4);
    PutLe16(&r[10], 0xFFFF);
    return r;
}

std::vector<std::uint8_t> SystemSettingsDefaults(int panelType)
{
    Quellstor qs(panelType);
    std::vector<std::uint8_t> r(kSystemSettingsLength, 0);
    PutLe16(r.data(), kRecSystemSettings);
    r[2] = 1;
    r[11] = 1;
    r[12] = static_cast<std::uint8_t>(qs.GetDefaultContrast());
    r[13] = 1;
    r[14] = 1;
    r[15] = static_cast<std::uint8_t>(qs.GetDefaultBacklightTimeout());
    return r;
}

std::vector<std::uint8_t> SystemSettings2Defaults()
{
    std::vector<std::uint8_t> r(kSystemSettings2Length, 0);
    PutLe16(r.data(), kRecSystemSettings2);
    r[4] = 64;
    r[5] = 64;
    r[6] = 128;
    return r;
}

std::vector<std::uint8_t> PasswordsDefaults()
{
    std::vector<std::uint8_t> r(kPasswordsLength, 0);
    PutLe16(r.data(), kRecPasswords);
    for (int i = 0; i < 4; ++i)
        std::memset(&r[2 + 10 * i], ' ', 9);
    return r;
}

std::vector<std::uint8_t> ProjectInfo(std::string_view name, std::string_view version, std::string_view protocolName,
                                      int panelType)
{
    std::vector<std::uint8_t> r(kProjectInfoLength, 0);
    PutLe16(r.data(), kRecProjectInfo);
    PutField(&r[2], 16, name);
    PutField(&r[18], 10, version);
    PutField(&r[28], 10, Str(kStrProgramVersion));
    PutField(&r[38], 32, protocolName);
    r[70] = static_cast<std::uint8_t>(panelType);
    return r;
}

void ParseVersion(const std::string& version, int& major, int& minor)
{
    major = minor = 0;
    std::sscanf(version.c_str(), "%d.%d", &major, &minor);
}

std::string ParentFolder(const std::string& folder)
{
    std::size_t slash = folder.find_last_of('/');
    return slash == std::string::npos ? std::string() : folder.substr(0, slash);
}

}  // namespace

std::string TableFileName(int table)
{
    char name[16];
    std::snprintf(name, sizeof name, "dtb-%02X.db3", table & 0xFF);
    return name;
}

bool IsValidProjectName(std::string_view name)
{
    if (name.empty() || name == "." || name.find("..") != std::string_view::npos)
        return false;
    for (char c : name) {
        auto u = static_cast<unsigned char>(c);
        if (c == '/' || c == '\\' || c == ':' || u < 0x20 || u == 0x7F)
            return false;
    }
    return true;
}

adatabase::adatabase()
{
    handles_.fill(-1);
}

adatabase::~adatabase()
{
    Close();
}

std::string adatabase::ProjectFolderFor(std::string_view name)
{
    return ResolvePath(JoinPath(JoinPath(_QSglobals.GetProgramDirectory(), "DBASE"), name));
}

int adatabase::HandleOf(int table) const
{
    return table >= 0 && table < static_cast<int>(handles_.size()) ? handles_[table] : -1;
}

std::string adatabase::TablePath(int table) const
{
    return JoinPath(folder_, TableFileName(table));
}

void adatabase::Reopen(int table)
{
    DfClose(handles_[table]);
    handles_[table] = DfOpen(TablePath(table));
}

std::int32_t adatabase::CountedSize(int table, std::uint32_t length) const
{
    return static_cast<std::int32_t>(length) + (table == kTableCommsBlocks ? 7 : 12);
}

int adatabase::PutRecord(int table, std::uint32_t key, const void* data, std::uint16_t length)
{
    int handle = HandleOf(table);
    int code = DF_WRITE_ERROR;
    std::uint32_t position = 0;
    std::uint16_t oldLength = 0;
    bool existed = false;
    bool differs = true;
    if (handle >= 0 && IsValidTable(table)) {
        existed = DfRecordInfo(handle, key, position, oldLength) == DF_OK;
        if (length == 0) {
            differs = existed;  // a put of nothing deletes
        } else if (existed && oldLength == length) {
            std::vector<std::uint8_t> old(length);
            std::uint16_t n = length;
            differs = !(DfReadRecord(handle, key, old.data(), n) == DF_OK && n == length &&
                        std::memcmp(old.data(), data, length) == 0);
        }
        // The keyed record file replaces the key's record itself, and leaves
        // the old one in place when the write fails; deleting it here first
        // would lose it on a failed write.
        code = DfWriteRecord(handle, key, data, length);
    }
    if (code != DF_OK) {
        TApp::MessageBox(nullptr, nullptr, Str(kStrDatabaseProblem), Str(kStrCouldNotSaveRecord),
                         MB_ICONINFORMATION);
        return code;
    }
    if (differs)
        modified_ = true;
    if (length == 0)
        totals_[table] -= existed ? CountedSize(table, oldLength) : 0;
    else if (existed)
        totals_[table] += static_cast<std::int32_t>(length) - oldLength;
    else
        totals_[table] += CountedSize(table, length);
    CheckSize();
    Reopen(table);
    return code;
}

int adatabase::GetRecord(int table, std::uint32_t key, void* buffer, std::uint16_t& length)
{
    int handle = HandleOf(table);
    if (handle < 0)
        return DF_READ_ERROR;
    return DfReadRecord(handle, key, buffer, length);
}

int adatabase::NextRecord(int table, bool first, void* buffer, std::uint16_t& length, std::uint32_t& key,
                          std::uint32_t& position)
{
    int handle = HandleOf(table);
    if (handle < 0)
        return DF_READ_ERROR;
    if (!first && position == 0)
        return DF_NOT_FOUND;
    int code = first ? DfFirstRecord(handle, buffer, length, key, position)
                     : DfNextRecord(handle, buffer, length, key, position);
    if (IsCountedByWalk(table)) {
        // A walk from the first record counts the table afresh, so that the
        // total is what the table holds now.
        if (first)
            totals_[table] = 0;
        if (code == DF_OK)
            totals_[table] += CountedSize(table, length);
    }
    return code;
}

int adatabase::DeleteRecord(int table, std::uint32_t key)
{
    int handle = HandleOf(table);
    if (handle < 0)
        return DF_READ_ERROR;
    std::uint32_t position = 0;
    std::uint16_t length = 0;
    int code = DfRecordInfo(handle, key, position, length);
    if (code != DF_OK)
        return code;
    code = DfDeleteRecord(handle, key);
    if (code == DF_OK) {
        modified_ = true;
        totals_[table] -= CountedSize(table, length);
        CheckSize();
    }
    return code;
}

std::uint16_t adatabase::GetMessageLength(std::uint32_t key)
{
    std::uint32_t position = 0;
    std::uint16_t length = 0;
    int handle = HandleOf(kTableMessages);
    if (handle < 0 || DfRecordInfo(handle, key, position, length) != DF_OK)
        return 0;
    return length;
}

std::uint16_t adatabase::GetSystemRecordLength(std::uint32_t key)
{
    std::uint32_t position = 0;
    std::uint16_t length = 0;
    return GetSystemRecordInfo(key, position, length) == DF_OK ? length : 0;
}

int adatabase::GetSystemRecordInfo(std::uint32_t key, std::uint32_t& position, std::uint16_t& length)
{
    int handle = HandleOf(kTableSystem);
    if (handle < 0)
        return DF_READ_ERROR;
    return DfRecordInfo(handle, key, position, length);
}

namespace {

// The key's record, padded with zeros to at least minimumSize bytes; nothing
// when it is absent or cannot be read.
std::optional<std::vector<std::uint8_t>> ReadRecordPadded(int handle, std::uint32_t key, std::size_t minimumSize)
{
    std::uint32_t position = 0;
    std::uint16_t length = 0;
    if (handle < 0 || DfRecordInfo(handle, key, position, length) != DF_OK)
        return std::nullopt;
    std::vector<std::uint8_t> record(length);
    std::uint16_t n = length;
    if (DfReadRecord(handle, key, record.data(), n) != DF_OK)
        return std::nullopt;
    record.resize(n);
    if (record.size() < minimumSize)
        record.resize(minimumSize, 0);
    return record;
}

}  // namespace

void adatabase::GetName(char* buffer, std::size_t n) const
{
    if (!buffer || n == 0)
        return;
    std::size_t count = name_.size() < n - 1 ? name_.size() : n - 1;
    std::memcpy(buffer, name_.data(), count);
    buffer[count] = '\0';
}

void adatabase::FormatVersion(char* buffer, std::size_t n) const
{
    if (!buffer || n == 0)
        return;
    std::snprintf(buffer, n, "%s", FormatVersion().c_str());
}

std::string adatabase::FormatVersion() const
{
    int major = 0;
    int minor = 0;
    ParseVersion(version_, major, minor);
    char text[32];
    std::snprintf(text, sizeof text, "%2d.%02d", major, minor);
    return text;
}

void adatabase::BumpVersion()
{
    int major = 0;
    int minor = 0;
    ParseVersion(version_, major, minor);
    if (++minor > 99) {
        minor = 0;
        ++major;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%d.%02d", major, minor);
    version_ = text;
}

std::int32_t adatabase::GetTableTotal(int table) const
{
    return table >= 0 && table < static_cast<int>(totals_.size()) ? totals_[table] : 0;
}

std::int32_t adatabase::GetUsedSize() const
{
    if (name_.empty())
        return 0;
    std::int32_t used = kFixedOverhead;
    for (std::int32_t total : totals_)
        used += total;
    return used;
}

std::int32_t adatabase::GetFreeSize() const
{
    if (name_.empty())
        return 0;
    return Quellstor(panelType_).GetDatabaseSize() - GetUsedSize();
}

void adatabase::CheckSize()
{
    if (!open_)
        return;
    ProjectHooks& hooks = GetProjectHooks();
    const std::int32_t used = GetUsedSize();
    const std::int32_t free = GetFreeSize();
    if (hooks.shell) {
        hooks.shell->SetUsedText(std::to_string(used));
        hooks.shell->SetFreeText(std::to_string(free));
    }
    if (free >= 0)
        return;
    const std::string caption = Str(kStrDatabaseTooLarge);
    if (hooks.shell && hooks.shell->BringWindowToTop(caption))
        return;
    if (HWND main = GetMainWindowHandle())
        TApp::MessageBox(nullptr, main, Str(kStrDatabaseTooLargeText), caption.c_str(), MB_ICONINFORMATION);
}

int adatabase::GetPortProtocol(int port, int& portCode)
{
    portCode = 0;
    auto record = ReadRecordPadded(HandleOf(kTableSystem), kRecChannelProtocols, 0);
    if (!record)
        return port == 1 ? protocol_ : -1;
    const std::size_t rows = record->size() / kChannelRowSize;
    if (port < 1 || static_cast<std::size_t>(port) > rows)
        return -1;
    const std::uint8_t* row = record->data() + 2 + kChannelRowSize * (port - 1);
    portCode = row[2];
    return static_cast<std::int16_t>(GetLe16(row));
}

bool adatabase::ProjectExists(std::string_view name)
{
    if (!IsValidProjectName(name))
        return false;
    const std::string folder = ProjectFolderFor(name);
    if (!DirExists(folder))
        return false;
    if (FileExists(JoinPath(folder, TableFileName(kTableSystem))))
        return true;
    // A project of the previous file generation is converted in place.
    if (FileExists(JoinPath(folder, kOldSystemFile)))
        return ConvertOldDatabase(folder, folder) == 0;
    return false;
}

bool adatabase::PrepareFolder(std::string_view name, std::string& folder)
{
    if (!IsValidProjectName(name))
        return false;
    const std::string dbase = JoinPath(_QSglobals.GetProgramDirectory(), "DBASE");
    if (!DirExists(dbase) && !MakeDir(dbase))
        return false;
    folder = ProjectFolderFor(name);
    if (!DirExists(folder) && !MakeDir(folder))
        return false;
    folder = ResolvePath(folder);
    return true;
}

bool adatabase::CreateTableFiles(const std::string& folder)
{
    for (int table : kProjectTables) {
        const std::string path = JoinPath(folder, TableFileName(table));
        if (!FileExists(path) && DfCreate(path) != DF_OK)
            return false;
    }
    return true;
}

namespace {

constexpr int kLockHeld = -1;
constexpr int kLockUnsupported = -2;

// An advisory lock on a project folder, so that two copies of the program
// never write one project at once. The descriptor of the locked folder, or
// kLockHeld (another holder; the engineer is told) or kLockUnsupported (the
// folder or its file system cannot be locked: carry on unguarded, the file
// operations that follow report a folder that cannot be used).
int LockFolder(const std::string& folder)
{
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return kLockUnsupported;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
        return fd;
    const bool held = errno == EWOULDBLOCK;
    ::close(fd);
    if (!held)
        return kLockUnsupported;
    const std::string project = folder.substr(folder.find_last_of('/') + 1);
    char text[512];
    std::snprintf(text, sizeof text, Str(kStrProjectInUseText), project.c_str());
    TApp::MessageBox(nullptr, GetMainWindowHandle(), text, Str(kStrProjectInUse), MB_ICONEXCLAMATION);
    return kLockHeld;
}

void UnlockFolder(int fd)
{
    if (fd < 0)
        return;
    ::flock(fd, LOCK_UN);
    ::close(fd);
}

}  // namespace

bool adatabase::HoldsLockOn(const std::string& folder) const
{
    return lockFd_ >= 0 && lockFolder_ == folder;
}

bool adatabase::TakeLock(const std::string& folder)
{
    if (HoldsLockOn(folder))
        return true;
    int fd = LockFolder(folder);
    if (fd == kLockHeld)
        return false;
    ReleaseLock();
    lockFd_ = fd;
    lockFolder_ = folder;
    return true;
}

void adatabase::ReleaseLock()
{
    UnlockFolder(lockFd_);
    lockFd_ = -1;
    lockFolder_.clear();
}

int adatabase::CreateProject(std::string_view name)
{
    std::string folder;
    if (!PrepareFolder(name, folder))
        return 0;
    // Held only while the defaults are written, unless this object has the
    // project open already.
    const int creationLock = HoldsLockOn(folder) ? kLockUnsupported : LockFolder(folder);
    if (creationLock == kLockHeld)
        return 0;
    auto fail = [&] {
        DfClose(handles_[kTableSystem]);
        handles_[kTableSystem] = -1;
        UnlockFolder(creationLock);
        return 0;
    };

    _QSglobals.SetProjectDirectory(folder);
    folder_ = folder;
    if (!CreateTableFiles(folder))
        return fail();
    name_ = std::string(name.substr(0, 32));
    DfClose(handles_[kTableSystem]);
    handles_[kTableSystem] = DfOpen(TablePath(kTableSystem));
    if (handles_[kTableSystem] < 0)
        return fail();

    auto missing = [&](std::uint16_t key) { return GetSystemRecordLength(key) == 0; };
    auto put = [&](std::uint16_t key, const std::vector<std::uint8_t>& record) {
        return PutSystemRecord(key, record.data(), static_cast<std::uint16_t>(record.size())) == DF_OK;
    };
    if (missing(kRecPortSettings) && !put(kRecPortSettings, PortSettingsDefaults()))
        return fail();
    EnsureSystemSettingsRecord();
    if (missing(kRecSystemSettings))
        return fail();
    if (missing(kRecSystemSettings2) && !put(kRecSystemSettings2, SystemSettings2Defaults()))
        return fail();
    if (missing(kRecProjectInfo) &&
        !put(kRecProjectInfo, ProjectInfo(name_, "1.0", Str(kStrDefaultProtocolName), panelType_)))
        return fail();
    ProjectHooks& hooks = GetProjectHooks();
    if ((panelType_ == 9 || panelType_ == 11 || panelType_ == 14) && hooks.writeDefaultOptionFlags) {
        qsGlobals::DatabaseOverride use(_QSglobals, *this);
        hooks.writeDefaultOptionFlags();
    }
    if (missing(kRecPasswords) && !put(kRecPasswords, PasswordsDefaults()))
        return fail();

    DfClose(handles_[kTableSystem]);
    handles_[kTableSystem] = -1;
    // The defaults are the new project itself, not a change to save, and the
    // totals are counted when the project is opened.
    modified_ = false;
    totals_.fill(0);
    UnlockFolder(creationLock);
    return 1;
}

bool adatabase::OpenFiles(std::string_view name)
{
    if (!IsValidProjectName(name))
        return false;
    const std::string folder = ProjectFolderFor(name);
    if (!DirExists(folder))
        return false;
    if (!TakeLock(folder))
        return false;
    CloseHandles();
    bool opened = CreateTableFiles(folder);
    for (std::size_t i = 0; opened && i < kProjectTables.size(); ++i) {
        const int table = kProjectTables[i];
        handles_[table] = DfOpen(JoinPath(folder, TableFileName(table)));
        opened = handles_[table] >= 0;
    }
    if (!opened) {
        CloseHandles();
        ReleaseLock();
        return false;
    }
    folder_ = folder;
    _QSglobals.SetProjectDirectory(folder);
    modified_ = false;
    return true;
}

int adatabase::OpenProject(std::string_view name)
{
    if (!OpenFiles(name))
        return 0;
    name_ = std::string(name.substr(0, 32));
    totals_.fill(0);
    ProjectHooks& hooks = GetProjectHooks();

    if (auto info = ReadRecordPadded(HandleOf(kTableSystem), kRecProjectInfo, kProjectInfoLength)) {
        std::vector<std::uint8_t>& r = *info;
        old_ = std::atof(GetField(&r[28], 10).c_str()) < 5.0;
        int toType = 0;
        int toText = 0;
        switch (r[70]) {
        case 1: toType = 11; toText = kStrConvertToRTA; break;
        case 2: toType = 9; toText = kStrConvertToRTB; break;
        case 4: case 7: toType = 14; toText = kStrConvertToSWAQ; break;
        case 9: case 11: case 14: case 15: case 16: case 17: case 18: case 19: case 20: case 21: case 22:
        case 23: case 24:
            break;
        default:
            TApp::MessageBox(nullptr, GetMainWindowHandle(), Str(kStrTypeNotSupportedText), Str(kStrTypeNotSupported),
                             MB_ICONEXCLAMATION);
            return 0;
        }
        if (toType) {
            const std::string text = std::string(Str(kStrConvertDatabaseTo)) + Str(toText);
            if (TApp::MessageBox(nullptr, GetMainWindowHandle(), text.c_str(), Str(kStrOldDatabaseType),
                                 MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
                return 0;
            r[70] = static_cast<std::uint8_t>(toType);
            PutSystemRecord(kRecProjectInfo, r.data(), static_cast<std::uint16_t>(r.size()));
        }
        panelType_ = r[70];
        version_ = GetField(&r[18], 10);
        if (version_.empty())
            version_ = "0.00";
    } else {
        panelType_ = 14;
        version_ = "1.0";
    }

    auto ports = ReadRecordPadded(HandleOf(kTableSystem), kRecPortSettings, 0);
    protocol_ = -1;
    if (ports && ports->size() >= kPortSettingsLength)
        protocol_ = static_cast<std::int16_t>(GetLe16(&(*ports)[10]));

    if (panelType_ == 14) {
        auto settings = ReadRecordPadded(HandleOf(kTableSystem), kRecSystemSettings, 0);
        if (!settings) {
            EnsureSystemSettingsRecord();
        } else if (settings->size() >= kSystemSettingsLength && (*settings)[13] == 1 && (*settings)[15] != 0 &&
                   (*settings)[15] != 60) {
            (*settings)[15] = 60;
            PutSystemRecord(kRecSystemSettings, settings->data(), static_cast<std::uint16_t>(settings->size()));
        }
    }

    EnsureCommsErrTag(*this);

    pageSummary_.reset();
    if (hooks.makePageSummary) {
        ProjectHooks::PageSummary summary = hooks.makePageSummary(*this);
        pageSummary_ = std::move(summary.summary);
        totals_[kTablePages] = static_cast<std::int32_t>(summary.totalSize);
    }

    // The system records 100 to 200 count, each as a look-up by its key finds
    // it: one walk of the table rather than a look-up for each key.
    totals_[kTableSystem] = 0;
    std::array<bool, 101> counted{};
    DfWalkHeaders(HandleOf(kTableSystem), [&](std::uint32_t key, std::uint32_t, std::uint16_t length) {
        // The passwords go into the panel database file's header, not its tables.
        if (key < 100 || key > 200 || key == kRecPasswords || counted[key - 100])
            return true;
        counted[key - 100] = true;
        if (length)
            totals_[kTableSystem] += CountedSize(kTableSystem, length);
        return true;
    });

    totals_[kTableMessages] = static_cast<std::int32_t>(Menv_registry::GetTableSize(TableWalkOf(*this, kTableMessages)));

    fonts_.reset();
    if (hooks.makeFontManager)
        fonts_ = hooks.makeFontManager(*this, panelType_);
    open_ = true;

    if (!analogRegistry_) {
        const Quellstor panel(panelType_);
        analogRegistry_ = std::make_unique<Atag_registry>(static_cast<std::uint32_t>(panel.GetMaxAnalogTags()));
        digitalRegistry_ = std::make_unique<Dtag_registry>(static_cast<std::uint32_t>(panel.GetMaxDigitalTags()));
    }
    // The loads walk tables 1 and 2 and so count them.
    analogRegistry_->LoadFrom(TableWalkOf(*this, kTableAnalogTags));
    digitalRegistry_->LoadFrom(TableWalkOf(*this, kTableDigitalTags));
    if (!protocolLibrary_) {
        protocolLibrary_ =
            std::make_unique<ProtLib>(JoinPath(_QSglobals.GetProgramDirectory(), kProtocolInfoFileName));
        // The protocols a project may use are those of its own panel family.
        protocolLibrary_->SetFamilyBitSource(
            [this] { return static_cast<std::uint32_t>(Quellstor(panelType_).GetProtocolFamilyBit()); });
    }
    return 1;
}

bool adatabase::IsCurrentDatabase() const
{
    return &_QSglobals.GetDatabase() == this;
}

void adatabase::SaveChanges()
{
    if (IsCurrentDatabase()) {
        if (ProjectBitmapLibrary* bitmaps = GetProjectHooks().bitmapLibrary)
            bitmaps->WriteNameFile();
        _QSglobals.WriteSettings();
    } else {
        // Another project's object (a copy being made, a preview): its
        // settings are not the program's, only its version goes up.
        SaveProjectInfo();
    }
    modified_ = false;
}

void adatabase::CloseFiles()
{
    if (modified_)
        SaveChanges();
    CloseHandles();
}

void adatabase::CloseHandles()
{
    for (int& handle : handles_) {
        DfClose(handle);
        handle = -1;
    }
}

void adatabase::Close()
{
    CloseFiles();
    analogRegistry_.reset();
    digitalRegistry_.reset();
    protocolLibrary_.reset();
    pageSummary_.reset();
    fonts_.reset();
    open_ = false;
    ReleaseLock();
}

void adatabase::MarkClosed()
{
    open_ = false;
    if (modified_)
        SaveChanges();
}

int adatabase::SaveProjectInfo()
{
    const std::string before = version_;
    BumpVersion();
    std::string protocolName;
    if (protocol_ >= 0 && protocolLibrary_)
        protocolLibrary_->GetProtocolName(protocol_, protocolName);
    const auto record = ProjectInfo(name_, version_, protocolName, panelType_);
    int code = PutSystemRecord(kRecProjectInfo, record.data(), kProjectInfoLength);
    if (code != DF_OK)
        version_ = before;
    return code;
}

int adatabase::ReadProjectInfo(std::string_view name, std::uint8_t* buffer)
{
    // Only reads: the previewed folder is not recorded anywhere, so the open
    // project keeps saving into its own folder.
    std::string folder;
    if (!buffer || !PrepareFolder(name, folder))
        return 0;
    int handle = DfOpenReadOnly(JoinPath(folder, TableFileName(kTableSystem)));
    if (handle < 0)
        return 0;
    const auto record = ReadRecordPadded(handle, kRecProjectInfo, kProjectInfoLength);
    DfClose(handle);
    if (!record)
        return 0;
    std::memcpy(buffer, record->data(), kProjectInfoLength);
    return 1;
}

void adatabase::EnsureSystemSettingsRecord()
{
    if (GetSystemRecordLength(kRecSystemSettings) != 0)
        return;
    const auto record = SystemSettingsDefaults(panelType_);
    PutSystemRecord(kRecSystemSettings, record.data(), static_cast<std::uint16_t>(record.size()));
}

int adatabase::CopyFilesTo(adatabase& other)
{
    // The source is this project's own folder: the global project folder
    // already names the new project, which the caller has just created.
    const std::string source = folder_;
    Close();
    if (source.empty())
        return 0;
    const std::string target =
        other.folder_.empty() ? JoinPath(ParentFolder(source), other.name_) : other.folder_;
    if (ResolvePath(target) == ResolvePath(source) || !DirExists(target))
        return 0;
    std::vector<std::string> files;
    for (int table : kProjectTables)
        files.push_back(TableFileName(table));
    files.push_back(kBitmapNamesFile);
    files.push_back(kRecipeCounterFile);
    for (const std::string& file : files) {
        const std::string from = JoinPath(source, file);
        if (FileExists(from) && !FileCopy(from, JoinPath(target, file)))
            return 0;
    }
    return 1;
}

void adatabase::PackMessageTexts()
{
    PackMessageTextPool(*this);
}
