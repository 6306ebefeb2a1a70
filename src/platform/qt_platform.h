#pragma once
// The desktop behind the Platform seam: Qt message boxes, input boxes, file dialogs, the
// printer dialog, print preview and the system clipboard.

#include "platform/platform.h"

namespace kvh::platform {

/// The real desktop services, as the program uses them outside tests.
class QtPlatform : public Platform {
public:
    Answer messageBox(QWidget* parent, const QString& text, const QString& title, Buttons buttons,
                      Icon icon) override;
    QString inputBox(QWidget* parent, const QString& prompt, const QString& title,
                     const QString& defaultText) override;
    QString openFileName(QWidget* parent, const QString& startPath, const QString& filter) override;
    QString saveFileName(QWidget* parent, const QString& startPath, const QString& filter) override;
    bool printerDialog(QWidget* parent, QPrinter& printer) override;
    void printPreview(QWidget* parent, QPrinter& printer, const PaintDocument& paint) override;
    void setClipboardText(const QString& text) override;
    QString readClipboardText() override;
    void setClipboardPicture(const QImage& bitmap, const QByteArray& svg) override;
};

} // namespace kvh::platform
