#pragma once
// The values the window reads back from its settings at start-up. The settings file is plain
// text that anyone may edit or break, so every value is checked and bounded here, and an odd
// one reads as never saved. Qt Core only: no window is needed to read them.

#include <QRect>
#include <QStringList>
#include <QVariant>

QT_BEGIN_NAMESPACE
class QSettings;
QT_END_NAMESPACE

#include <optional>

namespace kvh::ui::settings_values {

/// Longest recent-file path kept; a longer one is no path a desktop would give.
inline constexpr qsizetype kMaxPathLength = 4096;
/// Farthest a saved window edge may lie from the origin, and its largest size, in pixels.
inline constexpr int kMaxCoordinate = 1'000'000;
inline constexpr int kMaxExtent = 100'000;

/// The stored value of `key`, or an invalid value when it cannot be read: Qt's reader takes a
/// hand-written "@Variant(...)" at its word and may ask for gigabytes for a list it says is long.
QVariant read(const QSettings& settings, const QString& key);

/// One spelling per file (absolute and clean), so the same case opened two ways is one entry.
QString canonicalPath(const QString& path);

/// The recent files: at most `maxFiles` distinct paths in their saved order, without empty
/// ones, over-long ones and ones holding a NUL.
QStringList recentFiles(const QVariant& value, int maxFiles);

/// The saved window rectangle, or nothing when it is not one a screen could show.
std::optional<QRect> windowGeometry(const QVariant& value);

/// The saved page when it is one of `pageCount` pages, or nothing.
std::optional<int> page(const QVariant& value, int pageCount);

} // namespace kvh::ui::settings_values
