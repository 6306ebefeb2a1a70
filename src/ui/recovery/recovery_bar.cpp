#include "ui/recovery/recovery_bar.h"

#include "ui/qt_text.h"

#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kvh::ui {

namespace {

const QString kBarName = QStringLiteral("Unsaved cases");
const QString kOfferText =
    QStringLiteral("A case was not saved when KVHiTemp last ended: %1, changed at %2.");
const QString kQuotedName = QStringLiteral("'%1'");
const QString kNewCase = QStringLiteral("a new case");
const QString kDamagedText =
    QStringLiteral("A recovery copy cannot be read and is left in the recovery folder: '%1' (%2)");
const QString kRecover = QStringLiteral("Recover");
const QString kDiscard = QStringLiteral("Discard");
const QString kShow = QStringLiteral("Show");
const QString kTimeFormat = QStringLiteral("HH:mm");
const QString kDateTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm");
const char* const kStemProperty = "recoveryStem";

} // namespace

RecoveryBar::RecoveryBar(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("fraRecovery"));
    setAccessibleName(kBarName);
    setFrameShape(QFrame::StyledPanel);
    setBackgroundRole(QPalette::ToolTipBase);
    setForegroundRole(QPalette::ToolTipText);
    setAutoFillBackground(true);
    new QVBoxLayout(this);
    hide();
}

QString RecoveryBar::offerText(const core::RecoveryNote& note, const QDateTime& now) {
    const QString path = QFile::decodeName(QByteArray::fromStdString(note.casePath));
    const QString name = path.isEmpty() ? kNewCase : kQuotedName.arg(QFileInfo(path).fileName());
    const QDateTime changed = QDateTime::fromSecsSinceEpoch(note.changed);
    const bool today = changed.date() == now.date();
    return kOfferText.arg(name, changed.toString(today ? kTimeFormat : kDateTimeFormat));
}

QString RecoveryBar::damagedText(const std::string& stem, const std::string& reason) {
    return kDamagedText.arg(qs(stem), qs(reason));
}

void RecoveryBar::offer(const std::vector<CaseRecovery::LeftCopy>& copies, const QDateTime& now) {
    for (const CaseRecovery::LeftCopy& copy : copies) {
        if (const auto* found = std::get_if<core::RecoveredCase>(&copy.read))
            addCopy(copy.stem, offerText(found->note, now), false);
        else
            addCopy(copy.stem,
                    damagedText(copy.stem, std::get<core::DamagedCopy>(copy.read).reason), true);
    }
}

void RecoveryBar::addCopy(const std::string& stem, const QString& text, bool damaged) {
    const QString n = QString::number(m_added++);
    auto* line = new QWidget;
    line->setObjectName(QStringLiteral("fraRecovery_") + n);
    line->setProperty(kStemProperty, qs(stem));
    auto* label = new QLabel(text);
    label->setObjectName(QStringLiteral("lblRecovery_") + n);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    auto* layout = new QHBoxLayout(line);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label, 1);
    const auto addButton = [&](const QString& caption, const QString& name) {
        auto* button = new QPushButton(caption);
        button->setObjectName(name + n);
        // Each line's buttons say which case they act on.
        button->setAccessibleName(caption + QLatin1Char(' ') + text);
        layout->addWidget(button);
        return button;
    };
    if (!damaged) {
        connect(addButton(kRecover, QStringLiteral("cmdRecover_")), &QPushButton::clicked, this,
                [this, stem] { emit recoverClicked(stem); });
        connect(addButton(kDiscard, QStringLiteral("cmdDiscardRecovery_")), &QPushButton::clicked,
                this, [this, stem] { emit discardClicked(stem); });
    }
    connect(addButton(kShow, QStringLiteral("cmdShowRecovery_")), &QPushButton::clicked, this,
            &RecoveryBar::showClicked);
    this->layout()->addWidget(line);
    show();
}

void RecoveryBar::removeCopy(const std::string& stem) {
    for (QWidget* line : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (line->property(kStemProperty).toString() == qs(stem))
            delete line;
    setVisible(!lines().isEmpty());
}

QStringList RecoveryBar::lines() const {
    QStringList out;
    for (const QLabel* label : findChildren<QLabel*>())
        out << label->text();
    return out;
}

} // namespace kvh::ui
