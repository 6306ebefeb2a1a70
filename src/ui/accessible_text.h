#pragma once
// Labels whose text changes: screen readers hear the text, not only the label's fixed name.

#include <QString>

QT_BEGIN_NAMESPACE
class QLabel;
QT_END_NAMESPACE

namespace kvh::ui {

/// Shows `text` in `label` and makes it what assistive technology reads: the accessible name
/// becomes "<name>: <text>" (lines joined by blanks; the name alone while the text is empty),
/// the description the text itself, and a name change is announced.
void setLabelText(QLabel* label, const QString& name, const QString& text);

} // namespace kvh::ui
