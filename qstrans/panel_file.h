#pragma once
// CPanelFile: the few values the transfer program reads from a panel
// database file (".DTB"): the panel type, the version of the program that
// built it and the protocols of the panel's two serial ports. Only the file
// header's table entries and the chain of system records (table 8) are read;
// the file is never written.
//
// Every query opens the file, reads what it needs and closes it again. The
// file may have come from a panel, so nothing in it is trusted: every offset
// is held against the file's length, a chain is walked at most as many steps
// as the file has room for records (a chain that loops ends), and a record's
// data is read only up to its own length. Whatever cannot be read gives the
// absent result: panel type -1, version 0.0.0, protocols kNoProtocol.

#include <cstddef>
#include <cstdint>
#include <string>

class CPanelFile {
public:
    static constexpr int kSystemTable = 8;
    static constexpr std::uint16_t kProjectInfoKey = 102;
    static constexpr std::uint16_t kChannelTableKey = 122;
    static constexpr std::uint16_t kPortRecordKey = 100;
    // A port without a protocol. The channel table stores none as -1 (65535)
    // and the port record's byte as 255; both read as this.
    static constexpr std::uint16_t kNoProtocol = 255;

    // `path`: the database folder followed by the database name.
    explicit CPanelFile(std::string path);
    ~CPanelFile();
    CPanelFile(const CPanelFile&) = delete;
    CPanelFile& operator=(const CPanelFile&) = delete;

    const std::string& GetFilePath() const { return path_; }

    // Opens the file and finds the first record of `table`: the file offset
    // of its data, its key and the offset of the next record header (0 =
    // last). 0 when the file cannot be opened, the table is empty or its
    // first record lies outside the file; the file is then closed.
    std::uint32_t LocateRecord(int table, std::uint16_t& key, std::uint32_t& next);
    // The record header at `next` (the file opened by LocateRecord): the
    // offset of its data, its key, and `next` replaced by its next offset.
    // 0 when no file is open, `next` is 0 or outside the file, or the walk
    // has taken more steps than the file has room for records.
    std::uint32_t NextRecord(std::uint16_t& key, std::uint32_t& next);
    // Reads record `key` of `table` into `buffer`: at most `length` bytes
    // and never more than the record holds; the rest of the buffer is
    // zeroed. `read` (when given) gets the count of bytes read. True when
    // the record was found. The file is closed on every path.
    bool ReadRecord(void* buffer, int table, std::uint16_t key, std::size_t length, std::size_t* read = nullptr);

    // The panel type of system record 102; -1 without a whole record 102.
    int ReadPanelType();
    // The version of the program that built the file, "major.minor.revision"
    // in record 102; fields that do not parse stay 0.
    void ReadVersion(unsigned& major, unsigned& minor, unsigned& revision);
    // Version 3.3 or later.
    bool IsVersionAtLeast33();
    // The protocol numbers of the panel's Comm 1 and Comm 2 ports, from the
    // channel table (record 122) by each channel's port, else Comm 1 from
    // the port record (record 100) and Comm 2 none.
    void ReadChannelProtocols(std::uint16_t& comm1, std::uint16_t& comm2);

private:
    void Close();
    bool ReadAt(std::uint32_t offset, void* buffer, std::size_t count);
    // Reads the 14-byte record header at `offset` when it and its data lie in the file.
    bool ReadRecordHeader(std::uint32_t offset, std::uint16_t& key, std::uint32_t& next, std::uint16_t& length);

    std::string path_;
    int handle_ = -1;
    std::uint64_t fileLength_ = 0;
    std::uint64_t stepsLeft_ = 0;
    std::uint16_t lastLength_ = 0;  // data length of the record last located
};

// The "%u.%u.%u" of a version field of `size` bytes that need not end with
// a nul: each number is read as far as it goes; a field that does not parse
// stays 0, and so do the ones after it.
void ParseVersionField(const char* field, std::size_t size, unsigned& major, unsigned& minor, unsigned& revision);
