#include "platform/qt/clipboard.h"

#include "platform/text.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace plat::qt {

namespace {

QClipboard* clipboard()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::clipboard()
                                                                         : nullptr;
}

const QString kPlain = QStringLiteral("text/plain");

} // namespace

bool SetClipboardText(std::string_view utf8)
{
    QClipboard* cb = clipboard();
    if (!cb)
        return false;
    auto* mime = new QMimeData;
    mime->setText(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
    cb->setMimeData(mime);
    return true;
}

std::string GetClipboardText()
{
    QClipboard* cb = clipboard();
    const QMimeData* mime = cb ? cb->mimeData() : nullptr;
    if (!mime)
        return {};
    // The raw bytes, where the owner gave them, decide the encoding; Qt would read them as UTF-8
    // and turn Shift_JIS into replacement characters.
    for (const QString& format : mime->formats()) {
        if (format == kPlain || format.startsWith(kPlain + QLatin1Char(';'))) {
            if (format.contains(QLatin1String("charset=utf-16"), Qt::CaseInsensitive))
                break;
            const QByteArray bytes = mime->data(format);
            if (!bytes.isEmpty())
                return DecodeText(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
        }
    }
    return mime->hasText() ? mime->text().toStdString() : std::string();
}

bool ClipboardHasText()
{
    QClipboard* cb = clipboard();
    const QMimeData* mime = cb ? cb->mimeData() : nullptr;
    return mime && (mime->hasText() || mime->hasFormat(kPlain));
}

} // namespace plat::qt
