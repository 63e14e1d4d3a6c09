// The panel database reader against files written byte by byte from the
// layout, damaged ones among them, and against files the configuration
// program's builder compiles.
#include "qstrans/panel_file.h"

#include "platform/base/files.h"
#include "plintvlr/db/download_image.h"
#include "plintvlr/db/tests/project_fixture.h"
#include "qstrans/tests/image_bytes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class PanelFileTest : public ProjectFixture {
protected:
    std::string Write(const std::string& bytes)
    {
        const std::string path = program_ + "/TEST.DTB";
        EXPECT_TRUE(WriteWholeFile(path, bytes));
        return path;
    }

    struct Protocols {
        std::uint16_t comm1;
        std::uint16_t comm2;
        bool operator==(const Protocols&) const = default;
    };
    static Protocols ReadProtocols(const std::string& path)
    {
        CPanelFile file(path);
        Protocols p{0, 0};
        file.ReadChannelProtocols(p.comm1, p.comm2);
        return p;
    }
};

TEST_F(PanelFileTest, ChannelProtocolsFollowEachChannelsPort)
{
    constexpr std::uint16_t kNone = 255;
    struct Case {
        const char* what;
        bool channelTable;
        std::uint16_t protocol1;
        std::uint8_t port1;
        std::uint16_t protocol2;
        std::uint8_t port2;
        bool portRecord;
        std::uint16_t comm1;
        std::uint16_t comm2;
    };
    const Case cases[] = {
        {"channel A none, B on COM1: swapped", true, 255, 0, 7, 0, true, 7, kNone},
        {"A on COM1, B on COM2: as stored", true, 5, 0, 7, 1, true, 5, 7},
        {"A on COM2, B on COM1: swapped", true, 5, 1, 7, 0, true, 7, 5},
        {"A on COM2, B on PC104: swapped", true, 5, 1, 7, 32, true, 7, 5},
        {"A on PC104, B none: as stored", true, 5, 32, 255, 0, true, 5, kNone},
        {"A without port, B on COM2: as stored", true, 5, 255, 7, 1, true, 5, 7},
        {"A without port, B on PC104: swapped", true, 5, 255, 7, 32, true, 7, 5},
        {"no port anywhere: the port record", true, 5, 255, 7, 255, true, 9, kNone},
        {"channel A none stored as -1, B on COM1", true, 0xFFFF, 255, 7, 0, true, 7, kNone},
        {"channel B none stored as -1", true, 5, 0, 0xFFFF, 1, true, 5, kNone},
        {"no channel table: the port record", false, 0, 0, 0, 0, true, 9, kNone},
        {"neither record", false, 0, 0, 0, 0, false, kNone, kNone},
    };
    for (const Case& c : cases) {
        std::vector<ImageRecordSpec> records;
        if (c.portRecord)
            records.push_back({8, 100, PortRecord(9)});
        records.push_back({8, 102, ProjectInfoRecord("5.2.0", 14)});
        if (c.channelTable)
            records.push_back({8, 122, ChannelTableRecord(c.protocol1, c.port1, c.protocol2, c.port2)});
        const Protocols got = ReadProtocols(Write(MakeImage(records)));
        EXPECT_EQ(got.comm1, c.comm1) << c.what;
        EXPECT_EQ(got.comm2, c.comm2) << c.what;
    }
}

TEST_F(PanelFileTest, VersionIsReadWithinItsFieldAndGatesAt33)
{
    struct Case {
        std::string text;  // up to ten bytes, the rest nul
        unsigned major, minor, revision;
        bool atLeast33;
    };
    const Case cases[] = {
        {"3.3.0", 3, 3, 0, true},
        {"3.2.9", 3, 2, 9, false},
        {"4.0.0", 4, 0, 0, true},
        {"12.34.5678", 12, 34, 5678, true},  // fills the field: no terminator
        {"3.", 3, 0, 0, false},
        {"x.1.2", 0, 0, 0, false},
        {"", 0, 0, 0, false},
    };
    for (const Case& c : cases) {
        std::string info = ProjectInfoRecord(c.text, 9);
        if (c.text.size() == 10)
            info[36] = '7';  // the byte after the field is a digit too
        const std::string path = Write(MakeImage({{8, 102, info}}));
        CPanelFile file(path);
        unsigned major = 99, minor = 99, revision = 99;
        file.ReadVersion(major, minor, revision);
        EXPECT_EQ(major, c.major) << c.text;
        EXPECT_EQ(minor, c.minor) << c.text;
        EXPECT_EQ(revision, c.revision) << c.text;
        EXPECT_EQ(file.IsVersionAtLeast33(), c.atLeast33) << c.text;
        EXPECT_EQ(file.ReadPanelType(), 9) << c.text;
    }
}

TEST_F(PanelFileTest, DamagedFilesGiveTheAbsentResults)
{
    const std::string good = MakeImage({{8, 100, PortRecord(9)}, {8, 102, ProjectInfoRecord("3.3.0", 14)}});
    const std::size_t first = 128;
    const std::size_t second = 128 + 14 + 5;
    struct Case {
        const char* what;
        std::string bytes;
    };
    std::vector<Case> cases;
    cases.push_back({"missing file", ""});
    cases.push_back({"shorter than a header", good.substr(0, 100)});
    {
        std::string b = good;
        PatchLe32(b, first + 7, first);  // record 100 leads back to itself
        cases.push_back({"cyclic chain", b});
    }
    {
        std::string b = good;
        PatchLe32(b, 32 + 4 * 8, static_cast<std::uint32_t>(good.size()) + 50);
        cases.push_back({"first record past the end", b});
    }
    {
        std::string b = good;
        PatchLe32(b, first + 7, 0xFFFFFFF0u);
        cases.push_back({"next record past the end", b});
    }
    {
        std::string b = good;
        PatchLe16(b, second + 12, 200);
        cases.push_back({"record longer than the file", b});
    }
    {
        std::string b = good;
        PatchLe32(b, 32 + 4 * 8, 5);
        cases.push_back({"first record inside the header", b});
    }
    cases.push_back({"short record 102",
                     MakeImage({{8, 100, PortRecord(9)}, {8, 102, ProjectInfoRecord("3.3.0", 14).substr(0, 68)}})});
    cases.push_back({"only a record with a larger key", MakeImage({{8, 110, std::string(80, 'x')}})});
    cases.push_back({"table 8 empty", MakeImage({{1, 102, ProjectInfoRecord("3.3.0", 14)}})});

    for (const Case& c : cases) {
        const std::string path = c.bytes.empty() ? program_ + "/MISSING.DTB" : Write(c.bytes);
        CPanelFile file(path);
        EXPECT_EQ(file.ReadPanelType(), -1) << c.what;
        unsigned major = 1, minor = 1, revision = 1;
        file.ReadVersion(major, minor, revision);
        if (std::string(c.what) != "short record 102") {
            EXPECT_EQ(major * 100 + minor * 10 + revision, 0u) << c.what;
        }
        std::uint16_t comm1 = 0, comm2 = 0;
        file.ReadChannelProtocols(comm1, comm2);
        EXPECT_EQ(comm2, CPanelFile::kNoProtocol) << c.what;
        if (c.bytes.empty() || c.bytes.size() < 128) {
            EXPECT_EQ(comm1, CPanelFile::kNoProtocol) << c.what;
        }
    }
}

TEST_F(PanelFileTest, RecordsAreWalkedAndReadOnlyUpToTheirLength)
{
    const ImageLayout image =
        MakeImageLayout({{8, 100, PortRecord(9)}, {8, 101, "abc"}, {8, 102, ProjectInfoRecord("5.2.0", 14)}});
    CPanelFile file(Write(image.bytes));
    std::uint16_t key = 0;
    std::uint32_t next = 0;
    EXPECT_EQ(file.LocateRecord(8, key, next), image.offsets[0] + 14);
    EXPECT_EQ(key, 100);
    EXPECT_EQ(next, image.offsets[1]);
    EXPECT_EQ(file.NextRecord(key, next), image.offsets[1] + 14);
    EXPECT_EQ(key, 101);
    EXPECT_EQ(file.NextRecord(key, next), image.offsets[2] + 14);
    EXPECT_EQ(next, 0u);
    EXPECT_EQ(file.NextRecord(key, next), 0u);

    // Record 101 holds three bytes: the next record's header is not data.
    std::string buffer(20, 'z');
    std::size_t read = 0;
    ASSERT_TRUE(file.ReadRecord(buffer.data(), 8, 101, buffer.size(), &read));
    EXPECT_EQ(read, 3u);
    EXPECT_EQ(buffer, "abc" + std::string(17, '\0'));
    EXPECT_FALSE(file.ReadRecord(buffer.data(), 8, 103, buffer.size()));
    EXPECT_FALSE(file.ReadRecord(buffer.data(), 3, 1, buffer.size()));
}

TEST_F(PanelFileTest, CompiledProjectReadsBackItsTypeVersionAndProtocols)
{
    struct Case {
        const char* what;
        bool channelTable;
        std::int16_t protocolA;
        std::uint8_t portA;
        std::int16_t protocolB;
        std::uint8_t portB;
        std::uint16_t comm1;
        std::uint16_t comm2;
    };
    const Case cases[] = {
        {"single channel: the project protocol, none here", false, 0, 0, 0, 0, 255, 255},
        {"A none (-1), B protocol 7 on COM1", true, -1, 255, 7, 0, 7, 255},
        {"A 5 on COM2, B 7 on COM1", true, 5, 1, 7, 0, 7, 5},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string name = "LINE" + std::to_string(++n);
        adatabase& db = CreateAndOpen(name, 9);
        if (c.channelTable) {
            std::uint8_t record[74] = {};
            PutLe16(record, 122);
            PutLe16(record + 2, static_cast<std::uint16_t>(c.protocolA));
            record[4] = c.portA;
            PutLe16(record + 38, static_cast<std::uint16_t>(c.protocolB));
            record[40] = c.portB;
            ASSERT_EQ(db.PutSystemRecord(122, record, sizeof record), 0);
        }
        _QSglobals.NewDatabase();
        const std::string image = ProjectPath(name) + "/" + name + ".DTB";
        ASSERT_EQ(BuildDownloadImage(image, ProjectPath(name), 9, {}), 0) << c.what;

        CPanelFile file(image);
        EXPECT_EQ(file.ReadPanelType(), 9) << c.what;
        unsigned major = 0, minor = 0, revision = 0;
        file.ReadVersion(major, minor, revision);
        // The version the program stamps on its projects, as the configuration program reads it.
        ASSERT_EQ(ImageOpen(image), 0);
        EXPECT_EQ(static_cast<int>(major * 100 + minor * 10 + revision), ImageGetVersion()) << c.what;
        ImageClose();
        EXPECT_TRUE(file.IsVersionAtLeast33());
        const Protocols got = ReadProtocols(image);
        EXPECT_EQ(got.comm1, c.comm1) << c.what;
        EXPECT_EQ(got.comm2, c.comm2) << c.what;
    }
}

}  // namespace
