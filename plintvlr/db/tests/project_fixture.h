#pragma once
// A program folder of its own for each test: the "DBASE" folder and the
// profile files live in a fresh temporary folder, the global settings start
// with an empty database, no hooks are registered and no file faults armed.

#include "platform/base/files.h"
#include "plintvlr/db/adatabase.h"
#include "plintvlr/db/keyed_record_file.h"
#include "plintvlr/db/qs_globals.h"
#include "plintvlr/shell/base/app.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

class ProjectFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/plv-project-XXXXXX";
        program_ = ::mkdtemp(pattern);
        ::setenv("PLV_PROGRAM_DIR", program_.c_str(), 1);
        ::setenv("PLV_PROFILE_DIR", (program_ + "/profile").c_str(), 1);
        _QSglobals.SetProgramDirectory(program_);
        _QSglobals.SetProjectDirectory("");
        GetProjectHooks() = ProjectHooks{};
        SetMainWindowHandle(nullptr);
        _QSglobals.NewDatabase();
    }

    void TearDown() override
    {
        FileFaults::Reset();
        _QSglobals.NewDatabase();
        GetProjectHooks() = ProjectHooks{};
        SetMainWindowHandle(nullptr);
        std::filesystem::remove_all(program_);
    }

    adatabase& Db() { return _QSglobals.GetDatabase(); }

    // Creates a project of the panel type with the database of the global
    // settings and opens it.
    adatabase& CreateAndOpen(const std::string& name, int panelType = 14)
    {
        adatabase& db = _QSglobals.NewDatabase();
        db.SetPanelType(panelType);
        EXPECT_EQ(db.Create(name), 1);
        EXPECT_EQ(db.OpenProject(name), 1);
        return db;
    }

    // Creates a project whose system record `key` holds `value` at `offset`,
    // as an older or damaged project would, and leaves it closed unsaved.
    void CreateWithSystemByte(const std::string& name, std::uint16_t key, std::size_t offset, std::uint8_t value)
    {
        adatabase& db = CreateAndOpen(name);
        std::vector<std::uint8_t> record = Read(db, 8, key);
        ASSERT_GT(record.size(), offset);
        record[offset] = value;
        ASSERT_EQ(db.PutSystemRecord(key, record.data(), static_cast<std::uint16_t>(record.size())), 0);
        db.SetModified(false);
        _QSglobals.NewDatabase();
    }

    std::string ProjectPath(const std::string& name) const { return program_ + "/DBASE/" + name; }

    // Changes one data byte of a stored record behind the file layer's back,
    // so that the record no longer matches its check.
    static void DamageRecord(const std::string& path, std::uint32_t key, std::size_t offset)
    {
        const int handle = DfOpenReadOnly(path);
        std::uint32_t position = 0;
        std::uint16_t length = 0;
        ASSERT_EQ(DfRecordInfo(handle, key, position, length), 0);
        DfClose(handle);
        ASSERT_LT(offset, length);
        const int raw = FileOpen(path, FileMode::ReadWrite);
        const std::int64_t at = position + DfRecordHeader::kSize + offset;
        std::uint8_t byte = 0;
        ASSERT_EQ(FileReadAt(raw, &byte, 1, at), 1);
        byte ^= 0xFF;
        ASSERT_EQ(FileWriteAt(raw, &byte, 1, at), 1);
        FileClose(raw);
    }

    static std::vector<std::uint8_t> Read(adatabase& db, int table, std::uint32_t key)
    {
        std::vector<std::uint8_t> buffer(65535);
        std::uint16_t length = static_cast<std::uint16_t>(buffer.size());
        if (db.GetRecord(table, key, buffer.data(), length) != 0)
            return {};
        buffer.resize(length);
        return buffer;
    }

    std::string program_;
};

// A stand-in for the shell: records the status panes and whether the size
// warning's window is up.
class FakeShell : public ProjectShell {
public:
    void SetUsedText(const std::string& text) override { used = text; }
    void SetFreeText(const std::string& text) override { free = text; }
    bool BringWindowToTop(const std::string& caption) override
    {
        raised.push_back(caption);
        return warningShown;
    }

    std::string used;
    std::string free;
    bool warningShown = false;
    std::vector<std::string> raised;
};

inline HWND FakeMainWindow()
{
    static int window;
    return reinterpret_cast<HWND>(&window);
}
