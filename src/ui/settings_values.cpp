#include "ui/settings_values.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <cstdlib>
#include <new>

namespace kvh::ui::settings_values {

QVariant read(const QSettings& settings, const QString& key) {
    try {
        return settings.value(key);
    } catch (const std::bad_alloc&) {
        return {};
    }
}

QString canonicalPath(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

QStringList recentFiles(const QVariant& value, int maxFiles) {
    QStringList files;
    const QStringList saved = value.toStringList();
    for (const QString& path : saved) {
        if (files.size() >= maxFiles)
            break;
        if (path.isEmpty() || path.size() > kMaxPathLength || path.contains(QChar(u'\0')))
            continue;
        const QString file = canonicalPath(path);
        if (!files.contains(file))
            files << file;
    }
    return files;
}

std::optional<QRect> windowGeometry(const QVariant& value) {
    if (!value.canConvert<QRect>())
        return std::nullopt;
    const QRect r = value.toRect();
    // Edges as stored, sizes in 64 bits: QRect's own width() overflows for far edges.
    const qint64 width = qint64(r.right()) - r.left() + 1;
    const qint64 height = qint64(r.bottom()) - r.top() + 1;
    const bool placed =
        std::abs(qint64(r.left())) <= kMaxCoordinate && std::abs(qint64(r.top())) <= kMaxCoordinate;
    const bool sized = width > 0 && height > 0 && width <= kMaxExtent && height <= kMaxExtent;
    return placed && sized ? std::optional<QRect>(r) : std::nullopt;
}

std::optional<int> page(const QVariant& value, int pageCount) {
    bool ok = false;
    const int index = value.toInt(&ok);
    return ok && index >= 0 && index < pageCount ? std::optional<int>(index) : std::nullopt;
}

} // namespace kvh::ui::settings_values
