#pragma once
// The frames of a database transfer over a fieldbus stream, without the
// fieldbus: what the panel's frames and the completions of our own sends
// mean, and what to send next.
//
//   download  {2, 1}, then the database in blocks of at most 250 bytes; the
//             panel answers every frame. The next block goes when both the
//             answer to the last frame has come and its send has completed.
//   upload    {3, 0 or 1} is answered with the database's size (u32); each
//             {3, 'B'} then fetches the next block, and one more {3, 'B'}
//             after the last block ends the upload.
//
// Nothing the panel sends is trusted: a frame longer than the buffer, a
// short size frame, a size beyond any panel database, a block past the
// size, a frame out of turn, a failed send or a closed stream ends the
// transfer as failed, with a text that says what happened.

#include <cstddef>
#include <cstdint>
#include <string>

// One stream frame as this program keeps it: a length and at most 250 data
// bytes. A stream carries up to 255 bytes in a frame; a longer panel frame
// is refused, never copied.
struct CKelmnetFrame {
    static constexpr std::size_t kMaxData = 250;
    std::uint16_t length = 0;
    std::uint8_t data[kMaxData] = {};
};

// What the library's callbacks report, recorded for the step handler: the
// callbacks only record, the handler does the work. Each kind of event is
// told apart, so a completion is never taken for an answer.
struct CKelmnetEvents {
    // User values of the stream actions.
    static constexpr std::uint32_t kOpenAction = 1;
    static constexpr std::uint32_t kCloseAction = 2;
    static constexpr std::uint32_t kFirstFrameAction = 3;
    static constexpr std::uint32_t kUploadAckAction = 4;
    static constexpr std::uint32_t kBlockAction = 5;

    // A frame from the panel waits in `received`.
    bool frameWaiting = false;
    CKelmnetFrame received;
    // A frame came while another still waited.
    bool frameOutOfTurn = false;
    // The length of a frame too long for the buffer (0: none came).
    std::uint32_t tooLongLength = 0;

    bool sendDone = false;
    std::int32_t sendResult = 0;
    bool openDone = false;
    std::int32_t openResult = 0;
    bool closeDone = false;
    std::int32_t closeResult = 0;
    // The stream was closed by the panel or by the loss of its node.
    bool streamClosed = false;
    // Set by the handler when the connection is down as well.
    bool nodeLost = false;

    void Clear() { *this = CKelmnetEvents{}; }
    void FrameReceived(const std::uint8_t* data, std::uint32_t length);
    void ActionDone(std::uint32_t userValue, std::int32_t result);
    void StreamClosed() { streamClosed = true; }
};

class CKelmnetExchange {
public:
    // A panel database is never larger than this; a larger announced size
    // is refused before a byte is stored.
    static constexpr std::uint64_t kLargestImage = 64u << 20;

    enum class Kind { Upload, Download };
    enum class Result { Running, Done, Failed };

    // Where the frames go and the bytes come from.
    class Port {
    public:
        virtual ~Port() = default;
        // Hands a frame to the stream; false with the library's status when it is not taken.
        virtual bool Send(const CKelmnetFrame& frame, std::uint32_t userValue, std::int32_t* status) = 0;
        // Download: exactly `count` bytes of the database at `offset`; false
        // with the reason in `error`.
        virtual bool Read(std::uint64_t offset, std::uint8_t* buffer, std::size_t count, std::string* error) = 0;
        // Upload: stores the bytes of a block; false with the reason in `error`.
        virtual bool Write(const std::uint8_t* data, std::size_t count, std::string* error) = 0;
    };

    explicit CKelmnetExchange(Port& port) : port_(port) {}

    // Send the first frame. `background`: the panel goes on working while it
    // sends its database.
    void StartUpload(bool background);
    void StartDownload(std::uint64_t length);

    // Takes the events recorded since the last step and acts on them.
    Result Step(CKelmnetEvents& events);
    Result GetResult() const { return result_; }

    Kind GetKind() const { return kind_; }
    // Bytes sent or received so far, and the whole: the file's length, or the size the panel announced.
    std::uint64_t Position() const { return position_; }
    std::uint64_t Size() const { return size_; }
    // 0 to 100; an empty download is whole at once.
    int Percent() const;
    // What ended a failed transfer.
    const std::string& Failure() const { return failure_; }

private:
    void Send(const CKelmnetFrame& frame, std::uint32_t userValue);
    void Fail(std::string text);
    void TakeFrame(const CKelmnetFrame& frame);
    void TakeSizeFrame(const CKelmnetFrame& frame);
    void TakeBlock(const CKelmnetFrame& frame);
    // Both the answer and the completion of the last frame are in: the next frame.
    void Advance();
    void SendNextBlock();

    Port& port_;
    Kind kind_ = Kind::Download;
    Result result_ = Result::Running;
    std::uint64_t position_ = 0;
    std::uint64_t size_ = 0;
    bool sizeKnown_ = false;
    bool awaitingAnswer_ = false;
    bool awaitingCompletion_ = false;
    bool lastAckSent_ = false;
    std::string failure_;
};
