// Comms block records of project table 3, as a damaged or foreign project
// holds them: a record the reader takes writes back as the same bytes, and
// every column the block browser shows can be made, also for a protocol whose
// address rule the record does not follow.
#include "plintvlr/db/fuzz/fuzz_check.h"
#include "plintvlr/db/cb_class.h"
#include "plintvlr/db/plc_address_tables.h"

#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Protocol 4 has an address rule, so its addresses go through the codec.
    static const bool tables = LoadPlcAddressTablesFromText("PCL ->04:Test Link<-\n0x26, 0x29, 0\n") >= 0;
    (void)tables;
    const std::vector<std::uint8_t> bytes(data, data + size);
    const std::span<const std::uint8_t> record(bytes.data(), bytes.size());
    const cbClass block(record);
    if (!cbClass::IsStoredRecord(record)) {
        Check(block.GetRecord().size() == cbClass::kHeaderSize && block.GetAddressLength() == 0);
        return 0;
    }
    Check(block.GetRecord() == bytes);
    for (int column = -1; column <= block.GetColumnCount(); ++column) {
        (void)block.GetColumnTitle(column);
        (void)block.GetColumnText(column);
    }
    (void)block.GetRowText();
    (void)CommsBlockTypeText(block.GetTypeByte());
    (void)CommsBlockFrequencyText(block.GetFrequency());

    // The address as the browser shows it parses back for its own protocol.
    cbClass edited(block);
    edited.ParseRemoteAddress(block.GetColumnText(1), block.GetProtocol());
    Check(edited.GetAddressLength() >= -1 && edited.GetAddressLength() <= static_cast<int>(cbClass::kMaxAddressBytes));
    Check(edited.GetRecord().size() <= cbClass::kMaxRecordSize);
    return 0;
}
