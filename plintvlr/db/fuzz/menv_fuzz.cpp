// Reads arbitrary bytes as a message table record and as a format-520
// clipboard block, as another program may have put there, then writes what
// was read back out. The bytes are copied into a buffer of exactly their
// size, so any read past them is a read past memory.
//
// The panel model's large-memory flag (which inverts the stored flags) is
// the lowest bit of the input's length, so the fuzzer picks the model as it
// picks the bytes.
#include "plintvlr/db/menv.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::uint8_t> bytes(data, data + size);
    const bool largeMemory = (size & 1) != 0;

    menv table;
    if (table.DecodeRecord(bytes, largeMemory)) {
        std::string text;
        for (int column = 0; column < table.GetColumnCount(); ++column) {
            int row = table.GetEntryCount() - 1;
            table.GetColumnText(text, column, row);
        }
        // Whatever was read writes out and reads back the same, also into a
        // table that already holds entries.
        if (auto record = table.EncodeRecord(largeMemory)) {
            Check(table.DecodeRecord(*record, largeMemory));
            Check(table.EncodeRecord(largeMemory) == record);
        }
    }

    menv pasted;
    std::vector<std::string> texts;
    if (pasted.ReadClipboardBlock(bytes, largeMemory, texts)) {
        Check(static_cast<int>(texts.size()) == pasted.GetEntryCount());
        if (auto block = pasted.MakeClipboardBlock(texts, largeMemory)) {
            block->push_back(0);
            block->push_back(0);
            menv again;
            std::vector<std::string> textsAgain;
            Check(again.ReadClipboardBlock(*block, largeMemory, textsAgain));
            Check(textsAgain == texts);
        }
    }
    return 0;
}
