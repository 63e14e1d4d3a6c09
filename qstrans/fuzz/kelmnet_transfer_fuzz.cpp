// Whatever a node sends over the stream, in any order with the completions
// of our own frames: received frames of 0 to 255 bytes, completions with any
// result, a close, for an upload and a download. The transfer logic reads
// nothing past a frame's length and writes nothing past its buffer, and
// once it has ended it stays ended.
//
// Input: byte 0 picks the kind (bit 0: upload; bit 1: background) and, for a
// download, bytes 1 and 2 the file's length (u16). Then events, each a byte:
//   0 a frame: a length byte (0 to 255), then that many bytes
//   1 a completion of our send: a result byte: 0 success; with bit 7 one of
//     the library's results (-421, -490, -400, -2, -3, -6 by the byte mod 6);
//     else the byte's negative
//   2 the stream closed
//   3 the handler steps
#include "qstrans/kelmnet_exchange.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

class MemoryPort : public CKelmnetExchange::Port {
public:
    explicit MemoryPort(std::size_t length) : file(length, 0x5A) {}

    bool Send(const CKelmnetFrame& frame, std::uint32_t, std::int32_t* status) override
    {
        if (frame.length > CKelmnetFrame::kMaxData)
            std::abort();
        ++sent;
        *status = 1;
        return true;
    }
    bool Read(std::uint64_t offset, std::uint8_t* buffer, std::size_t count, std::string*) override
    {
        if (offset + count > file.size())
            std::abort();
        std::memcpy(buffer, file.data() + offset, count);
        return true;
    }
    bool Write(const std::uint8_t* data, std::size_t count, std::string*) override
    {
        stored.insert(stored.end(), data, data + count);
        return true;
    }

    std::vector<std::uint8_t> file;
    std::vector<std::uint8_t> stored;
    int sent = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3)
        return 0;
    const bool upload = data[0] & 1;
    const std::size_t length = data[1] | (data[2] << 8);
    MemoryPort port(length);
    CKelmnetExchange exchange(port);
    CKelmnetEvents events;
    if (upload)
        exchange.StartUpload(data[0] & 2);
    else
        exchange.StartDownload(length);

    std::size_t at = 3;
    CKelmnetExchange::Result ended = CKelmnetExchange::Result::Running;
    while (at < size) {
        const std::uint8_t op = data[at++] % 4;
        if (op == 0) {
            if (at >= size)
                break;
            const std::size_t n = data[at++];
            // The library's buffer: exactly the frame's bytes, so that a read
            // past them is caught.
            std::vector<std::uint8_t> frame(data + at, data + std::min(size, at + n));
            at += frame.size();
            std::uint8_t* bytes = frame.empty() ? nullptr : frame.data();
            events.FrameReceived(bytes, static_cast<std::uint32_t>(frame.size()));
        } else if (op == 1) {
            static constexpr std::int32_t kResults[] = {-421, -490, -400, -2, -3, -6};
            const std::uint8_t r = at < size ? data[at] : 0;
            const std::int32_t result = r == 0 ? 1 : (r & 0x80) ? kResults[r % 6] : -static_cast<std::int32_t>(r);
            ++at;
            events.ActionDone(CKelmnetEvents::kBlockAction, result);
        } else if (op == 2) {
            events.StreamClosed();
        } else {
            const CKelmnetExchange::Result result = exchange.Step(events);
            if (ended != CKelmnetExchange::Result::Running && result != ended)
                std::abort();
            ended = result;
        }
        if (exchange.Percent() < 0 || exchange.Percent() > 100)
            std::abort();
        if (upload && (port.stored.size() != exchange.Position() || exchange.Position() > exchange.Size() ||
                       exchange.Size() > CKelmnetExchange::kLargestImage))
            std::abort();
    }
    return 0;
}
