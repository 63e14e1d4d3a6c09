#include "qstrans/kelmnet_exchange.h"

#include "platform/base/little_endian.h"
#include "qstrans/qstrans_strings.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

constexpr std::uint8_t kDownload = 2;
constexpr std::uint8_t kUpload = 3;
constexpr std::uint8_t kNextBlock = 'B';
constexpr std::int32_t kConnectionLost = -421;

CKelmnetFrame TwoByteFrame(std::uint8_t first, std::uint8_t second)
{
    CKelmnetFrame frame;
    frame.length = 2;
    frame.data[0] = first;
    frame.data[1] = second;
    return frame;
}

}  // namespace

void CKelmnetEvents::FrameReceived(const std::uint8_t* data, std::uint32_t length)
{
    if (length > CKelmnetFrame::kMaxData) {
        if (tooLongLength == 0)
            tooLongLength = length;
        return;
    }
    if (frameWaiting) {
        frameOutOfTurn = true;
        return;
    }
    received.length = static_cast<std::uint16_t>(length);
    if (length > 0)
        std::memcpy(received.data, data, length);
    frameWaiting = true;
}

void CKelmnetEvents::ActionDone(std::uint32_t userValue, std::int32_t result)
{
    switch (userValue) {
    case kOpenAction:
        openDone = true;
        openResult = result;
        break;
    case kCloseAction:
        closeDone = true;
        closeResult = result;
        break;
    case kFirstFrameAction:
    case kUploadAckAction:
    case kBlockAction:
        sendDone = true;
        sendResult = result;
        break;
    default:
        break;
    }
}

void CKelmnetExchange::StartUpload(bool background)
{
    kind_ = Kind::Upload;
    Send(TwoByteFrame(kUpload, background ? 0 : 1), CKelmnetEvents::kFirstFrameAction);
}

void CKelmnetExchange::StartDownload(std::uint64_t length)
{
    kind_ = Kind::Download;
    size_ = length;
    sizeKnown_ = true;
    Send(TwoByteFrame(kDownload, 1), CKelmnetEvents::kFirstFrameAction);
}

CKelmnetExchange::Result CKelmnetExchange::Step(CKelmnetEvents& events)
{
    if (result_ != Result::Running)
        return result_;
    if (events.tooLongLength != 0) {
        Fail(QsFormat(kStrFrameTooLong, static_cast<unsigned>(events.tooLongLength)));
        return result_;
    }
    if (events.frameOutOfTurn) {
        Fail(QsString(kStrFrameOutOfTurn));
        return result_;
    }
    if (events.sendDone && awaitingCompletion_) {
        events.sendDone = false;
        awaitingCompletion_ = false;
        if (events.sendResult != 1) {
            Fail(events.sendResult == kConnectionLost ? QsString(kStrNodeLost)
                                                      : QsFormat(kStrFrameNotDelivered, static_cast<int>(events.sendResult)));
            return result_;
        }
    }
    if (events.frameWaiting) {
        events.frameWaiting = false;
        if (!awaitingAnswer_) {
            Fail(QsString(kStrFrameOutOfTurn));
            return result_;
        }
        awaitingAnswer_ = false;
        TakeFrame(events.received);
        if (result_ != Result::Running)
            return result_;
    }
    if (events.streamClosed) {
        Fail(QsString(events.nodeLost ? kStrNodeLost : kStrPanelClosedStream));
        return result_;
    }
    if (!awaitingAnswer_ && !awaitingCompletion_)
        Advance();
    return result_;
}

int CKelmnetExchange::Percent() const
{
    if (size_ == 0)
        return result_ == Result::Done ? 100 : 0;
    return static_cast<int>(std::min<std::uint64_t>(position_ * 100 / size_, 100));
}

void CKelmnetExchange::Send(const CKelmnetFrame& frame, std::uint32_t userValue)
{
    awaitingCompletion_ = true;
    // The ack after the last block fetches nothing.
    awaitingAnswer_ = !lastAckSent_;
    std::int32_t status = 0;
    if (!port_.Send(frame, userValue, &status))
        Fail(QsFormat(kStrFrameNotTaken, static_cast<int>(status)));
}

void CKelmnetExchange::Fail(std::string text)
{
    result_ = Result::Failed;
    failure_ = std::move(text);
}

void CKelmnetExchange::TakeFrame(const CKelmnetFrame& frame)
{
    // A download's answers carry nothing this program needs.
    if (kind_ == Kind::Download)
        return;
    if (!sizeKnown_)
        TakeSizeFrame(frame);
    else
        TakeBlock(frame);
}

void CKelmnetExchange::TakeSizeFrame(const CKelmnetFrame& frame)
{
    if (frame.length < 4) {
        Fail(QsFormat(kStrSizeFrameShort, static_cast<unsigned>(frame.length)));
        return;
    }
    const std::uint32_t size = GetLe32(frame.data);
    // An empty image is no database: nothing would replace the engineer's file.
    if (size == 0) {
        Fail(QsString(kStrEmptyDatabase));
        return;
    }
    if (size > kLargestImage) {
        Fail(QsFormat(kStrSizeTooLarge, static_cast<unsigned>(size)));
        return;
    }
    size_ = size;
    sizeKnown_ = true;
}

void CKelmnetExchange::TakeBlock(const CKelmnetFrame& frame)
{
    if (frame.length == 0) {
        Fail(QsString(kStrEmptyBlock));
        return;
    }
    if (position_ + frame.length > size_) {
        Fail(QsFormat(kStrBlockPastSize, static_cast<unsigned>(size_)));
        return;
    }
    std::string error;
    if (!port_.Write(frame.data, frame.length, &error)) {
        Fail(QsFormat(kStrUploadWriteFailed, error.c_str()));
        return;
    }
    position_ += frame.length;
}

void CKelmnetExchange::Advance()
{
    if (kind_ == Kind::Download) {
        if (position_ < size_)
            SendNextBlock();
        else
            result_ = Result::Done;
        return;
    }
    if (lastAckSent_) {
        result_ = Result::Done;
        return;
    }
    if (position_ == size_)
        lastAckSent_ = true;
    Send(TwoByteFrame(kUpload, kNextBlock), CKelmnetEvents::kUploadAckAction);
}

void CKelmnetExchange::SendNextBlock()
{
    CKelmnetFrame frame;
    const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(CKelmnetFrame::kMaxData, size_ - position_));
    std::string error;
    if (!port_.Read(position_, frame.data, count, &error)) {
        Fail(QsFormat(kStrDownloadReadFailed, error.c_str()));
        return;
    }
    frame.length = static_cast<std::uint16_t>(count);
    Send(frame, CKelmnetEvents::kBlockAction);
    if (result_ == Result::Running)
        position_ += count;
}
