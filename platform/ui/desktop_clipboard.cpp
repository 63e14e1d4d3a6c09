#include "platform/ui/desktop_clipboard.h"

#include "platform/base/clipboard_envelope.h"
#include "platform/ui/qt_text.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>

namespace {

const QString kText = QStringLiteral("text/plain");

QString MimeType(UINT format)
{
    return QString::fromStdString(ClipboardMimeType(format));
}

std::optional<ClipboardData> Decode(const QMimeData* mime, UINT format)
{
    if (!mime)
        return std::nullopt;
    if (format == CF_TEXT) {
        if (!mime->hasText())
            return std::nullopt;
        // Characters the programs' 8-bit texts cannot hold become '?'.
        const std::string text = FromQString(mime->text());
        ClipboardData data(text.begin(), text.end());
        data.push_back(0);
        return data;
    }
    if (!mime->hasFormat(MimeType(format)))
        return std::nullopt;
    const QByteArray block = mime->data(MimeType(format));
    return UnwrapClipboardData(format, std::span<const std::uint8_t>(
                                           reinterpret_cast<const std::uint8_t*>(block.constData()),
                                           static_cast<std::size_t>(block.size())));
}

class TDesktopClipboard : public ClipboardBackend {
public:
    void Empty() override { pending_ = std::make_unique<QMimeData>(); }

    void SetData(UINT format, ClipboardData data) override
    {
        if (!pending_) {
            // The formats already there stay.
            pending_ = std::make_unique<QMimeData>();
            if (const QMimeData* current = Current()) {
                for (const QString& type : current->formats())
                    pending_->setData(type, current->data(type));
            }
        }
        if (format == CF_TEXT) {
            // The text ends at its nul.
            const auto end = std::find(data.begin(), data.end(), std::uint8_t{0});
            pending_->setText(ToQString(std::string_view(reinterpret_cast<const char*>(data.data()),
                                                         static_cast<std::size_t>(end - data.begin()))));
            return;
        }
        const ClipboardData block = WrapClipboardData(format, data);
        pending_->setData(MimeType(format),
                          QByteArray(reinterpret_cast<const char*>(block.data()), static_cast<qsizetype>(block.size())));
    }

    std::optional<ClipboardData> GetData(UINT format) const override
    {
        return Decode(pending_ ? pending_.get() : Current(), format);
    }

    bool HasFormat(UINT format) const override { return GetData(format).has_value(); }

    void Commit() override
    {
        if (pending_ && QGuiApplication::clipboard())
            QGuiApplication::clipboard()->setMimeData(pending_.release());
        pending_.reset();
    }

private:
    static const QMimeData* Current()
    {
        QClipboard* clipboard = QGuiApplication::clipboard();
        return clipboard ? clipboard->mimeData() : nullptr;
    }

    std::unique_ptr<QMimeData> pending_;
};

}  // namespace

void InstallDesktopClipboard()
{
    static TDesktopClipboard backend;
    SetClipboardBackend(&backend);
}
