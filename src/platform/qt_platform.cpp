#include "platform/qt_platform.h"

#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>

namespace kvh::platform {

namespace {

QMessageBox::Icon toQtIcon(Icon icon) {
    switch (icon) {
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Warning:
        return QMessageBox::Warning;
    case Icon::Critical:
        return QMessageBox::Critical;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toQtButtons(Buttons buttons) {
    switch (buttons) {
    case Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case Buttons::SaveDiscardCancel:
        return QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel;
    case Buttons::OverwriteSaveAsCancel:
        return QMessageBox::Cancel; // the other two are buttons of their own
    case Buttons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

Answer fromQtButton(int pressed) {
    switch (pressed) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::Save:
        return Answer::Save;
    case QMessageBox::Discard:
        return Answer::Discard;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    default:
        return Answer::No;
    }
}

} // namespace

Answer QtPlatform::messageBox(QWidget* parent, const QString& text, const QString& title,
                              Buttons buttons, Icon icon) {
    QMessageBox box(toQtIcon(icon), title, text, toQtButtons(buttons), parent);
    if (buttons == Buttons::SaveDiscardCancel)
        box.setDefaultButton(QMessageBox::Save);
    if (buttons == Buttons::OverwriteSaveAsCancel) {
        QPushButton* overwrite =
            box.addButton(QStringLiteral("Overwrite"), QMessageBox::DestructiveRole);
        QPushButton* saveAs = box.addButton(QStringLiteral("Save As..."), QMessageBox::AcceptRole);
        box.setDefaultButton(QMessageBox::Cancel);
        box.exec();
        return box.clickedButton() == overwrite ? Answer::Overwrite
               : box.clickedButton() == saveAs  ? Answer::SaveAs
                                                : Answer::Cancel;
    }
    const int pressed = box.exec();
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    return fromQtButton(pressed);
}

QString QtPlatform::inputBox(QWidget* parent, const QString& prompt, const QString& title,
                             const QString& defaultText) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, defaultText, &ok);
    return ok ? text : QString();
}

QString QtPlatform::openFileName(QWidget* parent, const QString& startPath, const QString& filter) {
    return QFileDialog::getOpenFileName(parent, QString(), startPath, filter);
}

QString QtPlatform::saveFileName(QWidget* parent, const QString& startPath, const QString& filter) {
    // The window asks "Overwrite Existing File?" itself.
    return QFileDialog::getSaveFileName(parent, QString(), startPath, filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

bool QtPlatform::printerDialog(QWidget* parent, QPrinter& printer) {
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

void QtPlatform::printPreview(QWidget* parent, QPrinter& printer, const PaintDocument& paint) {
    QPrintPreviewDialog dialog(&printer, parent);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&paint](QPrinter* p) { paint(p); });
    dialog.exec();
}

void QtPlatform::setClipboardText(const QString& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

QString QtPlatform::readClipboardText() {
    return QGuiApplication::clipboard()->text();
}

void QtPlatform::setClipboardPicture(const QImage& bitmap, const QByteArray& svg) {
    auto* mime = new QMimeData; // the clipboard takes ownership
    mime->setImageData(bitmap);
    mime->setData(QStringLiteral("image/svg+xml"), svg);
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setMimeData(mime);
}

} // namespace kvh::platform
