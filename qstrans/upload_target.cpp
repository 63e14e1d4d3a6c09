#include "qstrans/upload_target.h"

#include "platform/base/file_error.h"
#include "platform/base/files.h"
#include "qstrans/panel_image.h"

#include <cerrno>

CUploadTarget::CUploadTarget(std::string path) : path_(std::move(path)), newPath_(path_ + ".upload") {}

CUploadTarget::~CUploadTarget()
{
    Abandon();
}

bool CUploadTarget::Open(std::string* error)
{
    Abandon();
    failed_ = false;
    position_ = 0;
    handle_ = FileCreate(newPath_);
    if (handle_ < 0) {
        if (error)
            *error = FileErrorText(path_, errno);
        return false;
    }
    return true;
}

bool CUploadTarget::Write(const std::uint8_t* data, std::size_t count, std::string* error)
{
    if (handle_ < 0) {
        failed_ = true;
        if (error)
            *error = FileErrorText(path_, EBADF);
        return false;
    }
    const long written = FileWrite(handle_, data, count);
    if (written != static_cast<long>(count)) {
        const int reason = written < 0 ? errno : ENOSPC;
        failed_ = true;
        if (error)
            *error = FileErrorText(path_, reason);
        if (written > 0)
            position_ += static_cast<std::uint64_t>(written);
        return false;
    }
    position_ += count;
    return true;
}

CUploadTarget::Result CUploadTarget::Finish()
{
    if (handle_ < 0)
        return Result::NotOpen;
    FileClose(handle_);
    handle_ = -1;
    Result result = Result::Replaced;
    if (failed_)
        result = Result::WriteFailed;
    else if (expected_ && *expected_ != position_)
        result = Result::WrongSize;
    else if (!IsWholePanelImageFile(newPath_))
        result = Result::NotWhole;
    else if (!FileRename(newPath_, path_))
        result = Result::WriteFailed;
    if (result != Result::Replaced)
        FileDelete(newPath_);
    return result;
}

void CUploadTarget::Abandon()
{
    if (handle_ < 0)
        return;
    FileClose(handle_);
    handle_ = -1;
    FileDelete(newPath_);
}
