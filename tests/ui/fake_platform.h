#pragma once
// A Platform for tests: records every message box, input box and clipboard change, and
// answers dialogs from queues the test fills beforehand.

#include "platform/platform.h"

#include <QPrinter>
#include <QQueue>
#include <QStringList>

namespace kvh::test {

struct ShownMessage {
    QString text;
    QString title;
    platform::Buttons buttons;
    platform::Icon icon;
};

struct ShownInput {
    QString prompt;
    QString title;
    QString defaultText;
};

class FakePlatform : public platform::Platform {
public:
    // What was shown, in order.
    QList<ShownMessage> messages;
    QList<ShownInput> inputs;
    int printerDialogs = 0;
    int previews = 0;
    QStringList openDialogStarts;
    QStringList saveDialogStarts;
    QStringList dialogFilters; ///< the filter of every file dialog, in order

    // Answers, consumed in order; an empty queue answers "cancel" (No for a Yes/No box,
    // Cancel for the unsaved-changes question).
    QQueue<platform::Answer> messageAnswers;
    QQueue<QString> inputAnswers;
    QQueue<QString> openAnswers;
    QQueue<QString> saveAnswers;
    bool acceptPrinterDialog = true;
    /// When set, the printer dialog points the printer at this PDF file.
    QString printerPdfFile;

    // The clipboard as other programs would see it.
    QString clipboardText;
    QImage clipboardBitmap;
    QByteArray clipboardSvg;
    int clipboardWrites = 0;

    platform::Answer messageBox(QWidget*, const QString& text, const QString& title,
                                platform::Buttons buttons, platform::Icon icon) override {
        messages.append({text, title, buttons, icon});
        if (buttons == platform::Buttons::Ok)
            return platform::Answer::Ok;
        if (!messageAnswers.isEmpty())
            return messageAnswers.dequeue();
        return buttons == platform::Buttons::YesNo ? platform::Answer::No
                                                   : platform::Answer::Cancel;
    }
    QString inputBox(QWidget*, const QString& prompt, const QString& title,
                     const QString& defaultText) override {
        inputs.append({prompt, title, defaultText});
        return inputAnswers.isEmpty() ? QString() : inputAnswers.dequeue();
    }
    QString openFileName(QWidget*, const QString& start, const QString& filter) override {
        openDialogStarts.append(start);
        dialogFilters.append(filter);
        return openAnswers.isEmpty() ? QString() : openAnswers.dequeue();
    }
    QString saveFileName(QWidget*, const QString& start, const QString& filter) override {
        saveDialogStarts.append(start);
        dialogFilters.append(filter);
        return saveAnswers.isEmpty() ? QString() : saveAnswers.dequeue();
    }
    bool printerDialog(QWidget*, QPrinter& printer) override {
        ++printerDialogs;
        if (acceptPrinterDialog && !printerPdfFile.isEmpty()) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(printerPdfFile);
        }
        return acceptPrinterDialog;
    }
    void printPreview(QWidget*, QPrinter& printer, const platform::PaintDocument& paint) override {
        ++previews;
        if (!printerPdfFile.isEmpty()) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(printerPdfFile);
        }
        paint(&printer);
    }
    void setClipboardText(const QString& text) override {
        ++clipboardWrites;
        clipboardText = text;
        clipboardBitmap = QImage();
        clipboardSvg.clear();
    }
    QString readClipboardText() override { return clipboardText; }
    void setClipboardPicture(const QImage& bitmap, const QByteArray& svg) override {
        ++clipboardWrites;
        clipboardText.clear();
        clipboardBitmap = bitmap;
        clipboardSvg = svg;
    }
};

} // namespace kvh::test
