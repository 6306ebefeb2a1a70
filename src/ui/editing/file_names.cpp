#include "ui/editing/file_names.h"

#include "core/shown_text.h"

#include <QDir>
#include <QStringDecoder>
#include <QStringEncoder>

namespace kvh::ui {

namespace {

constexpr char16_t kStrayByteBase = 0xDC00;

bool isStrayByte(QChar ch) {
    return ch.unicode() >= 0xDC80 && ch.unicode() <= 0xDCFF;
}

/// The length of the valid UTF-8 sequence at `i`, 0 when there is none.
qsizetype utf8Length(const QByteArray& bytes, qsizetype i) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80)
        return 1;
    const qsizetype len = lead >= 0xC2 && lead <= 0xDF   ? 2
                          : lead >= 0xE0 && lead <= 0xEF ? 3
                          : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                         : 0;
    if (len == 0 || i + len > bytes.size())
        return 0;
    // A sequence decodes to one code point or it is no sequence: let the decoder judge it.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString one = decoder.decode(QByteArrayView(bytes).sliced(i, len));
    return decoder.hasError() || one.contains(QChar::ReplacementCharacter) ? 0 : len;
}

} // namespace

QByteArray localFileName(const QString& name) {
    QByteArray out;
    out.reserve(name.size());
    QString run;
    const auto flush = [&] {
        out += run.toUtf8();
        run.clear();
    };
    for (const QChar ch : name) {
        if (isStrayByte(ch)) {
            flush();
            out += static_cast<char>(ch.unicode() - kStrayByteBase);
        } else {
            run += ch;
        }
    }
    flush();
    return out;
}

QString fileNameFromLocal(const QByteArray& bytes) {
    QString out;
    qsizetype start = 0; // of the valid run not yet converted
    for (qsizetype i = 0; i < bytes.size();) {
        const qsizetype len = utf8Length(bytes, i);
        if (len > 0) {
            i += len;
            continue;
        }
        out += QString::fromUtf8(bytes.mid(start, i - start));
        out += QChar(static_cast<char16_t>(kStrayByteBase + static_cast<unsigned char>(bytes[i])));
        start = ++i;
    }
    return out + QString::fromUtf8(bytes.mid(start));
}

QString shownFileName(const QString& name) {
    const QByteArray bytes = localFileName(QDir::toNativeSeparators(name));
    return QString::fromStdString(core::escapeControls(bytes.toStdString()));
}

} // namespace kvh::ui
