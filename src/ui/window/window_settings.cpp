#include "ui/window/window_settings.h"

#include "ui/settings_values.h"

#include <QGuiApplication>
#include <QMargins>
#include <QRect>
#include <QScreen>
#include <QSettings>
#include <QTabWidget>

namespace kvh::ui {

namespace {

const QString kGeometryKey = QStringLiteral("Window/Geometry");
const QString kMaximizedKey = QStringLiteral("Window/Maximized");
const QString kPageKey = QStringLiteral("Window/Page");
/// Room for a title bar and borders around the window's own area.
const QMargins kFrameAllowance(8, 32, 8, 8);
constexpr int kResultsPage = 2;

} // namespace

QRect WindowSettings::fitted(const QRect& wanted, const QRect& screen, const QSize& minimum) {
    const QRect room = screen.marginsRemoved(kFrameAllowance);
    QRect r(wanted.topLeft(), wanted.size().boundedTo(room.size()).expandedTo(minimum));
    if (r.right() > room.right())
        r.moveRight(room.right());
    if (r.bottom() > room.bottom())
        r.moveBottom(room.bottom());
    if (r.left() < room.left())
        r.moveLeft(room.left());
    if (r.top() < room.top())
        r.moveTop(room.top());
    return r;
}

void WindowSettings::restoreGeometry(QWidget& window) const {
    const std::optional<QRect> savedRect =
        settings_values::windowGeometry(settings_values::read(m_settings, kGeometryKey));
    const bool saved = savedRect.has_value();
    QRect wanted = saved ? *savedRect : window.geometry();
    QScreen* screen = saved ? QGuiApplication::screenAt(wanted.center()) : nullptr;
    if (!screen)
        screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!saved) // first run: centred on the screen
        wanted.moveCenter(screen->availableGeometry().center());
    const QSize room = screen->availableGeometry().marginsRemoved(kFrameAllowance).size();
    QSize minimum = window.minimumSizeHint().expandedTo(window.minimumSize());
    if (minimum.width() > room.width() || minimum.height() > room.height()) {
        // A screen too small for the pages (a large scale factor): the window still fits on
        // it, and the pages are cut rather than the window running off the screen.
        minimum = minimum.boundedTo(room);
        window.setMinimumSize(minimum);
    }
    window.setGeometry(fitted(wanted, screen->availableGeometry(), minimum));
    if (settings_values::read(m_settings, kMaximizedKey).toBool())
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
}

void WindowSettings::restorePage(QTabWidget& pages, bool setupComplete) const {
    const std::optional<int> saved =
        settings_values::page(settings_values::read(m_settings, kPageKey), pages.count());
    if (!saved || *saved == pages.currentIndex())
        return;
    const int page = *saved;
    if (page == kResultsPage && !setupComplete)
        return; // an empty case would only meet the "Setup not complete" box
    pages.setCurrentIndex(page);
}

void WindowSettings::save(const QWidget& window, const QTabWidget& pages) {
    m_settings.setValue(kGeometryKey, window.normalGeometry());
    m_settings.setValue(kMaximizedKey, window.isMaximized());
    m_settings.setValue(kPageKey, pages.currentIndex());
}

} // namespace kvh::ui
