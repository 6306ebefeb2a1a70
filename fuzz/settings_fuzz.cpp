// Any bytes as the settings file: the values start-up reads back (recent files, window
// geometry, last page) never hang or crash, and what they give is within bounds. The file
// lives in a scratch folder of its own, never the user's settings.

#include "ui/settings_values.h"

#include <QSettings>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <fstream>

namespace {

constexpr int kPages = 4;
constexpr int kRecent = 8;

/// The keys as the window writes them.
const QString kRecentKey = QStringLiteral("RecentFiles");
const QString kGeometryKey = QStringLiteral("Window/Geometry");
const QString kMaximizedKey = QStringLiteral("Window/Maximized");
const QString kPageKey = QStringLiteral("Window/Page");

} // namespace

// A request beyond what a start may take fails as it would on a small machine, instead of
// ending the run as an out-of-memory finding.
extern "C" const char* __asan_default_options() {
    return "allocator_may_return_null=1:max_allocation_size_mb=512";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    namespace values = kvh::ui::settings_values;
    static QTemporaryDir scratch;
    const QString path = scratch.filePath(QStringLiteral("settings.ini"));
    {
        std::ofstream file(path.toStdString(), std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    QSettings settings(path, QSettings::IniFormat);
    const QStringList files = values::recentFiles(values::read(settings, kRecentKey), kRecent);
    if (QStringList distinct = files; files.size() > kRecent || distinct.removeDuplicates() != 0)
        std::abort();
    for (const QString& file : files)
        if (file.isEmpty() || file.size() > values::kMaxPathLength + 4096)
            std::abort();
    if (const auto rect = values::windowGeometry(values::read(settings, kGeometryKey))) {
        // Sums of the saved numbers stay far from overflow.
        if (rect->width() <= 0 || rect->height() <= 0 ||
            rect->right() > 2 * values::kMaxCoordinate ||
            rect->bottom() > 2 * values::kMaxCoordinate)
            std::abort();
        (void)rect->center();
    }
    if (const auto page = values::page(values::read(settings, kPageKey), kPages))
        if (*page < 0 || *page >= kPages)
            std::abort();
    (void)values::read(settings, kMaximizedKey).toBool();
    return 0;
}
