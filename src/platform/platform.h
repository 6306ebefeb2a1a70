#pragma once
// The seam between the program and the desktop: message boxes, input boxes, file dialogs,
// the printer dialog, print preview and the clipboard. The window receives one Platform and
// never calls the desktop directly, so tests drive it with a fake that records what was
// shown and answers the dialogs.

#include <QByteArray>
#include <QImage>
#include <QString>

#include <functional>

class QWidget;
class QPrinter;

namespace kvh::platform {

enum class Icon { None, Information, Warning, Critical, Question };
/// SaveDiscardCancel: the standard Save, Discard and Cancel buttons (Escape is Cancel).
/// OverwriteSaveAsCancel: "Overwrite", "Save As..." and Cancel (Escape is Cancel).
enum class Buttons { Ok, YesNo, SaveDiscardCancel, OverwriteSaveAsCancel };
enum class Answer { Ok, Yes, No, Save, Discard, Cancel, Overwrite, SaveAs };

/// A paint routine for one printed document (used by print preview).
using PaintDocument = std::function<void(QPrinter*)>;

class Platform {
public:
    virtual ~Platform() = default;

    /// A modal message box; returns the button pressed (Ok for an OK-only box).
    virtual Answer messageBox(QWidget* parent, const QString& text, const QString& title,
                              Buttons buttons, Icon icon) = 0;

    /// A modal input box; returns the confirmed text, or the empty text when cancelled.
    virtual QString inputBox(QWidget* parent, const QString& prompt, const QString& title,
                             const QString& defaultText) = 0;

    /// File dialogs starting at `startPath` (a folder, or a folder plus "*.dew"). They never
    /// ask about overwriting: the caller does. An empty result means cancelled.
    virtual QString openFileName(QWidget* parent, const QString& startPath,
                                 const QString& filter) = 0;
    virtual QString saveFileName(QWidget* parent, const QString& startPath,
                                 const QString& filter) = 0;

    /// The printer dialog for `printer`; false when the user cancelled.
    virtual bool printerDialog(QWidget* parent, QPrinter& printer) = 0;

    /// A print preview of `printer`'s document, drawn by `paint`.
    virtual void printPreview(QWidget* parent, QPrinter& printer, const PaintDocument& paint) = 0;

    /// Replaces the clipboard's content with plain text.
    virtual void setClipboardText(const QString& text) = 0;

    /// The clipboard's plain text; empty when it holds none (or the platform has no clipboard).
    virtual QString readClipboardText() { return {}; }

    /// Replaces the clipboard's content with a picture alone: a bitmap and an SVG vector form,
    /// no text.
    virtual void setClipboardPicture(const QImage& bitmap, const QByteArray& svg) = 0;
};

} // namespace kvh::platform
