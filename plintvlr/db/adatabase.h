#pragma once
// The open project: one folder named after the project inside the "DBASE"
// folder beside the program, holding one keyed record file per project table.
// Every subsystem reaches the project's records through this object, which
// also keeps the byte accounting against the panel model's memory, the
// modified flag, the project's name, version, panel type and protocol, and
// owns the objects that are loaded with a project.
//
// Files are reached by absolute paths built from the project folder; the
// working directory is never changed.

#include "plintvlr/db/keyed_record_file.h"
#include "plintvlr/db/project_services.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class fontmanager;
class tpsummary;
class Atag_registry;
class Dtag_registry;
class ProtLib;

// Project tables.
enum : int {
    kTableAnalogTags = 1,
    kTableDigitalTags = 2,
    kTableCommsBlocks = 3,
    kTablePages = 4,
    kTableMessages = 5,
    kTableSystem = 8,
    kTableOverviewGroups = 10,
    kTableRecipes = 11,
    kTableBitmaps = 15,
};

// System records of table 8 that the database itself writes or reads.
enum : std::uint16_t {
    kRecPortSettings = 100,
    kRecSystemSettings = 101,
    kRecProjectInfo = 102,
    kRecPasswords = 103,
    kRecStartupFlag = 108,
    kRecSystemSettings2 = 110,
    kRecMessagePool = 118,
    kRecChannelProtocols = 122,
    kRecOptionFlags = 126,
};

constexpr std::uint16_t kProjectInfoLength = 71;
constexpr int kProjectFileCount = 9;
// The project tables in file order, the order of every loop over the files.
constexpr std::array<int, kProjectFileCount> kProjectTables = {1, 2, 3, 4, 5, 8, 10, 15, 11};

// "dtb-" + the table number as two upper-case hex digits + ".db3".
std::string TableFileName(int table);

// True for a name that may become a project folder's name: not empty, not
// "." and without path separators, "..", ':' or control characters.
bool IsValidProjectName(std::string_view name);

class adatabase {
public:
    adatabase();
    ~adatabase();
    adatabase(const adatabase&) = delete;
    adatabase& operator=(const adatabase&) = delete;

    // Record access; the results are the keyed record file's codes (DF_OK...).
    int PutRecord(int table, std::uint32_t key, const void* data, std::uint16_t length);
    int GetRecord(int table, std::uint32_t key, void* buffer, std::uint16_t& length);
    int NextRecord(int table, bool first, void* buffer, std::uint16_t& length, std::uint32_t& key,
                   std::uint32_t& position);
    int DeleteRecord(int table, std::uint32_t key);

    int PutAnalogTag(std::uint32_t key, const void* data, std::uint16_t n) { return PutRecord(1, key, data, n); }
    int PutDigitalTag(std::uint32_t key, const void* data, std::uint16_t n) { return PutRecord(2, key, data, n); }
    int PutCommsBlock(std::uint32_t key, const void* data, std::uint16_t n) { return PutRecord(3, key, data, n); }
    int PutPage(std::uint32_t key, const void* data, std::uint16_t n) { return PutRecord(4, key, data, n); }
    int PutMessage(std::uint32_t key, const void* data, std::uint16_t n) { return PutRecord(5, key, data, n); }
    int PutSystemRecord(std::uint32_t key, const void* data, std::uint16_t n) { return PutRecord(8, key, data, n); }
    int PutOverviewGroup(std::uint32_t key, const void* data, std::uint16_t n) { return PutRecord(10, key, data, n); }
    int PutBitmap(std::uint32_t key, const void* data, std::uint16_t n) { return PutRecord(15, key, data, n); }
    int PutRecipe(std::uint32_t key, const void* data, std::uint16_t n) { return PutRecord(11, key, data, n); }

    int GetAnalogTag(std::uint32_t key, void* buf, std::uint16_t& n) { return GetRecord(1, key, buf, n); }
    int GetDigitalTag(std::uint32_t key, void* buf, std::uint16_t& n) { return GetRecord(2, key, buf, n); }
    int GetCommsBlock(std::uint32_t key, void* buf, std::uint16_t& n) { return GetRecord(3, key, buf, n); }
    int GetPage(std::uint32_t key, void* buf, std::uint16_t& n) { return GetRecord(4, key, buf, n); }
    int GetMessage(std::uint32_t key, void* buf, std::uint16_t& n) { return GetRecord(5, key, buf, n); }
    int GetSystemRecord(std::uint32_t key, void* buf, std::uint16_t& n) { return GetRecord(8, key, buf, n); }

    int NextAnalogTag(bool first, void* buf, std::uint16_t& n, std::uint32_t& key, std::uint32_t& pos)
    {
        return NextRecord(1, first, buf, n, key, pos);
    }
    int NextDigitalTag(bool first, void* buf, std::uint16_t& n, std::uint32_t& key, std::uint32_t& pos)
    {
        return NextRecord(2, first, buf, n, key, pos);
    }
    int NextCommsBlock(bool first, void* buf, std::uint16_t& n, std::uint32_t& key, std::uint32_t& pos)
    {
        return NextRecord(3, first, buf, n, key, pos);
    }
    int NextPage(bool first, void* buf, std::uint16_t& n, std::uint32_t& key, std::uint32_t& pos)
    {
        return NextRecord(4, first, buf, n, key, pos);
    }
    int NextMessage(bool first, void* buf, std::uint16_t& n, std::uint32_t& key, std::uint32_t& pos)
    {
        return NextRecord(5, first, buf, n, key, pos);
    }
    int NextOverviewGroup(bool first, void* buf, std::uint16_t& n, std::uint32_t& key, std::uint32_t& pos)
    {
        return NextRecord(10, first, buf, n, key, pos);
    }
    int NextBitmap(bool first, void* buf, std::uint16_t& n, std::uint32_t& key, std::uint32_t& pos)
    {
        return NextRecord(15, first, buf, n, key, pos);
    }
    int NextRecipe(bool first, void* buf, std::uint16_t& n, std::uint32_t& key, std::uint32_t& pos)
    {
        return NextRecord(11, first, buf, n, key, pos);
    }

    int DeleteAnalogTag(std::uint32_t key) { return DeleteRecord(1, key); }
    int DeleteDigitalTag(std::uint32_t key) { return DeleteRecord(2, key); }
    int DeleteCommsBlock(std::uint32_t key) { return DeleteRecord(3, key); }
    int DeletePage(std::uint32_t key) { return DeleteRecord(4, key); }
    int DeleteMessage(std::uint32_t key) { return DeleteRecord(5, key); }
    int DeleteSystemRecord(std::uint32_t key) { return DeleteRecord(8, key); }
    int DeleteOverviewGroup(std::uint32_t key) { return DeleteRecord(10, key); }
    int DeleteBitmap(std::uint32_t key) { return DeleteRecord(15, key); }
    int DeleteRecipe(std::uint32_t key) { return DeleteRecord(11, key); }

    // Stored lengths; 0 when absent.
    std::uint16_t GetMessageLength(std::uint32_t key);
    std::uint16_t GetSystemRecordLength(std::uint32_t key);
    // 0 with the record's position and length, or 5 when absent.
    int GetSystemRecordInfo(std::uint32_t key, std::uint32_t& position, std::uint16_t& length);

    // Accessors.
    void GetName(char* buffer, std::size_t n) const;
    const std::string& GetName() const { return name_; }
    int GetPanelType() const { return panelType_; }
    void SetPanelType(int type) { panelType_ = type; }
    int GetProtocol() const { return protocol_; }
    void SetProtocol(int protocol) { protocol_ = protocol; }
    tpsummary* GetPageSummary() const { return static_cast<tpsummary*>(pageSummary_.get()); }
    fontmanager* GetFontManager() const { return static_cast<fontmanager*>(fonts_.get()); }
    Atag_registry* GetAnalogRegistry() const { return analogRegistry_.get(); }
    Dtag_registry* GetDigitalRegistry() const { return digitalRegistry_.get(); }
    ProtLib* GetProtocolLibrary() const { return protocolLibrary_.get(); }
    // The version as "%2d.%02d", at most n - 1 characters and a NUL.
    void FormatVersion(char* buffer, std::size_t n) const;
    std::string FormatVersion() const;
    const std::string& GetVersion() const { return version_; }
    void SetVersion(std::string version) { version_ = std::move(version); }
    void BumpVersion();
    bool IsOpen() const { return open_; }
    bool IsOld() const { return old_; }
    bool IsModified() const { return modified_; }
    void SetModified(bool modified) { modified_ = modified; }
    // The folder of this project, empty until it was created or opened.
    const std::string& GetProjectFolder() const { return folder_; }
    // The bytes counted for a table (0-15).
    std::int32_t GetTableTotal(int table) const;

    // Sizes: both 0 while no project is named.
    std::int32_t GetUsedSize() const;
    std::int32_t GetFreeSize() const;
    void CheckSize();

    // The protocol of port 1 or 2 and its port code, from record 122.
    int GetPortProtocol(int port, int& portCode);

    // Lifecycle.
    bool ProjectExists(std::string_view name);
    int Create(std::string_view name) { return CreateProject(name); }
    int CreateProject(std::string_view name);
    int OpenProject(std::string_view name);
    void Close();
    void MarkClosed();
    void CloseFiles();
    bool OpenFiles(std::string_view name);
    int CopyFilesTo(adatabase& other);
    int SaveProjectInfo();
    int ReadProjectInfo(std::string_view name, std::uint8_t* buffer);
    void EnsureSystemSettingsRecord();
    void PackMessageTexts();

    // The folder a project of this name has: program folder + "/DBASE/" + name.
    static std::string ProjectFolderFor(std::string_view name);

private:
    int HandleOf(int table) const;
    std::string TablePath(int table) const;
    void Reopen(int table);
    std::int32_t CountedSize(int table, std::uint32_t length) const;
    bool PrepareFolder(std::string_view name, std::string& folder);
    // Creates the table files the folder lacks; false at the first that fails.
    bool CreateTableFiles(const std::string& folder);
    // Closes the table files without saving anything.
    void CloseHandles();
    bool HoldsLockOn(const std::string& folder) const;
    bool TakeLock(const std::string& folder);
    void ReleaseLock();
    void SaveChanges();
    bool IsCurrentDatabase() const;

    OwnedPart fonts_;
    std::string name_;
    std::string version_ = "00.00";
    int panelType_ = 14;
    int protocol_ = 0;
    bool open_ = false;
    bool old_ = false;
    OwnedPart pageSummary_;
    std::array<std::int32_t, 16> totals_{};
    bool modified_ = false;
    std::unique_ptr<Atag_registry> analogRegistry_;
    std::unique_ptr<Dtag_registry> digitalRegistry_;
    std::unique_ptr<ProtLib> protocolLibrary_;
    std::array<int, 16> handles_;
    std::string folder_;
    int lockFd_ = -1;
    std::string lockFolder_;
};
