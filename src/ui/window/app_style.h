#pragma once
// The program's style: the desktop's own, with the pictures the window needs at start-up
// drawn instead of read from files.

#include <QProxyStyle>

namespace kvh::ui {

/// The desktop's style, except that two pictures are drawn rather than read from files: the
/// menu bar's overflow arrows (every menu bar asks for them as it is made) and, under Fusion,
/// the frame of a group box. The first picture read from a file loads every image format
/// plugin to find its reader: more time than the whole Setup page takes to draw.
class AppStyle : public QProxyStyle {
public:
    /// Over the style named `key` (as QStyleFactory knows it); empty: the desktop's default.
    explicit AppStyle(const QString& key = {});

    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
};

/// Makes AppStyle, over the style the application would use (the desktop's, or the one asked
/// for with -style or QT_STYLE_OVERRIDE), the application's style. Call once, before the first
/// window.
void installAppStyle();

} // namespace kvh::ui
