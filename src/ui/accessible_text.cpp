#include "ui/accessible_text.h"

#include <QAccessible>
#include <QLabel>

namespace kvh::ui {

void setLabelText(QLabel* label, const QString& name, const QString& text) {
    label->setText(text);
    const QString spoken = text.simplified();
    label->setAccessibleName(spoken.isEmpty() ? name : name + QStringLiteral(": ") + spoken);
    label->setAccessibleDescription(text);
    QAccessibleEvent changed(label, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}

} // namespace kvh::ui
