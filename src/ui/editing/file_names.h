#pragma once
// File names between the system (bytes) and the window (QString). A name that is not valid
// UTF-8 keeps its stray bytes as lone surrogates (U+DC80 + byte), so it opens and saves under
// its own name; Qt's own conversion would turn them into U+FFFD and lose the file.

#include <QByteArray>
#include <QString>

namespace kvh::ui {

/// The bytes the system knows the file by.
QByteArray localFileName(const QString& name);
/// The name as the window keeps it; localFileName gives the same bytes back.
QString fileNameFromLocal(const QByteArray& bytes);
/// The name as a message shows it: native separators, control characters and stray bytes
/// escaped (\n, \x1B, \xE9).
QString shownFileName(const QString& name);

} // namespace kvh::ui
