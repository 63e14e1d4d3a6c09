// Overview group records of project table 10, as a damaged or foreign project
// holds them: the reader takes any length, keeps a name of at most 24
// characters, and what it took writes back as a record that reads the same.
#include "plintvlr/db/fuzz/fuzz_check.h"
#include "plintvlr/db/ov_class.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::uint8_t> bytes(data, data + size);
    const ovClass group(std::span<const std::uint8_t>(bytes.data(), bytes.size()));
    Check(group.GetName().size() < ovClass::kNameSize);
    const auto record = group.GetRecord();
    const ovClass again(record);
    Check(again == group && again.GetRecord() == record);
    // Bytes of a full record that the name does not use need not survive;
    // the number and members do.
    if (size >= ovClass::kRecordSize) {
        Check(std::equal(record.begin(), record.begin() + 2, bytes.begin()));
        Check(std::equal(record.end() - 2 * ovClass::kMemberCount, record.end(),
                         bytes.begin() + (ovClass::kRecordSize - 2 * ovClass::kMemberCount)));
    }
    for (int column = -1; column <= group.GetColumnCount(); ++column) {
        (void)group.GetColumnTitle(column);
        (void)group.GetColumnText(column);
    }
    (void)group.GetRowText();
    return 0;
}
