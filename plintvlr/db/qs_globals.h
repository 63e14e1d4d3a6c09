#pragma once
// The program-wide settings object. Its one instance, _QSglobals, owns the
// open project database, keeps the current selections of three editors, the
// program and project folders and the transfer port's serial settings, reads
// and writes the "DATABASE" and "TRANSFER" sections of the profile file,
// reopens the last project at start-up, answers the panel limits by kind and
// loads the lists of a newly opened project.

#include "plintvlr/db/adatabase.h"

#include "platform/base/win_types.h"

#include <array>
#include <memory>
#include <string>

class qsGlobals {
public:
    qsGlobals();
    ~qsGlobals();
    qsGlobals(const qsGlobals&) = delete;
    qsGlobals& operator=(const qsGlobals&) = delete;

    void SetCurrentCommsBlock(int n) { currentCommsBlock_ = n; }
    int GetCurrentCommsBlock() const { return currentCommsBlock_; }
    void SetCurrentPage(int n) { currentPage_ = n; }
    int GetCurrentPage() const { return currentPage_; }
    void SetCurrentOverviewGroup(int n) { currentOverviewGroup_ = n; }
    int GetCurrentOverviewGroup() const { return currentOverviewGroup_; }

    // The open project's folder (empty at start).
    void SetProjectDirectory(const std::string& path) { projectDirectory_ = path; }
    const std::string& GetProjectDirectory() const { return projectDirectory_; }
    // The folder of the program, base of the "DBASE" folder and of the files
    // that ship beside the program; ProgramFolder() until set.
    void SetProgramDirectory(const std::string& path) { programDirectory_ = path; }
    std::string GetProgramDirectory() const;

    // Baud code, parity, stop bits, character bits, port: stored as read.
    void SetTransferSettings(BYTE baud, BYTE parity, BYTE stopBits, BYTE charBits, BYTE port);
    void GetTransferSettings(BYTE& baud, BYTE& parity, BYTE& stopBits, BYTE& charBits, BYTE& port) const;

    static int GetPanelLimit(int panelType, int kind);

    void WriteProjectSettings();
    void WriteSettings();
    // Start-up: 1 when a project is open afterwards, else 0.
    int LoadSettings();
    void ReloadProjectData();
    void LoadStyleBitmaps(const char* profile, char prefix);

    // System record 108.
    int SetStartupFlag(int value);
    int GetStartupFlag();

    // The open project database.
    adatabase& GetDatabase() { return *database_; }
    // Replaces the database object by a new, empty one and returns it (the
    // old one is closed by its destructor).
    adatabase& NewDatabase();

    // Points the database pointer at another object for the lifetime of the
    // override, as project creation does while the option flags are written.
    class DatabaseOverride {
    public:
        DatabaseOverride(qsGlobals& globals, adatabase& db);
        ~DatabaseOverride();
        DatabaseOverride(const DatabaseOverride&) = delete;
        DatabaseOverride& operator=(const DatabaseOverride&) = delete;

    private:
        qsGlobals& globals_;
        adatabase* previous_;
    };

private:
    int currentCommsBlock_ = 1;
    int currentPage_ = 1;
    int currentOverviewGroup_ = 1;
    std::string projectDirectory_;
    std::string programDirectory_;
    std::array<BYTE, 5> transfer_{};
    std::unique_ptr<adatabase> owned_;
    adatabase* database_ = nullptr;
};

extern qsGlobals _QSglobals;

// The first name "DEFAULT" + number (at most 8 characters: DEFAULT0,
// DEFAUL10, DEFAU100) that names no project; empty when all are taken.
std::string FirstFreeDefaultName(adatabase& db);
