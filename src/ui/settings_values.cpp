#include "ui/settings_values.h"

#include <QDir>
#include <QFileInfo>

#include <cstdlib>

namespace kvh::ui::settings_values {

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
    // Compared as the stored numbers, before any sum of them can overflow.
    const bool placed = std::abs(static_cast<qint64>(r.x())) <= kMaxCoordinate &&
                        std::abs(static_cast<qint64>(r.y())) <= kMaxCoordinate;
    const bool sized =
        r.width() > 0 && r.height() > 0 && r.width() <= kMaxExtent && r.height() <= kMaxExtent;
    return placed && sized ? std::optional<QRect>(r) : std::nullopt;
}

std::optional<int> page(const QVariant& value, int pageCount) {
    bool ok = false;
    const int index = value.toInt(&ok);
    return ok && index >= 0 && index < pageCount ? std::optional<int>(index) : std::nullopt;
}

} // namespace kvh::ui::settings_values
