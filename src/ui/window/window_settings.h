#pragma once
// The window's size, position and page from one run to the next.

#include <QtGlobal>

QT_BEGIN_NAMESPACE
class QRect;
class QSize;
class QSettings;
class QTabWidget;
class QWidget;
QT_END_NAMESPACE

namespace kvh::ui {

/// Reads and writes the window's place in the settings. A window is always fitted into the
/// screen it opens on: a smaller screen or larger fonts than last time never leave it too big.
class WindowSettings {
public:
    explicit WindowSettings(QSettings& settings) : m_settings(settings) {}

    /// Size and position as last saved (or as they are), fitted into the screen. Before show().
    void restoreGeometry(QWidget& window) const;
    /// The page last shown; the results page only for a case whose setup is complete.
    void restorePage(QTabWidget& pages, bool setupComplete) const;
    void save(const QWidget& window, const QTabWidget& pages);

    /// `wanted` moved and shrunk into `screen`, leaving room for the window frame, but never
    /// below `minimum`.
    static QRect fitted(const QRect& wanted, const QRect& screen, const QSize& minimum);

private:
    QSettings& m_settings;
};

} // namespace kvh::ui
