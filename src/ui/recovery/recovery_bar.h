#pragma once
// The bar above the pages (`fraRecovery`) that offers the copies of cases a program left
// unsaved when it ended: one line each, with Recover, Discard and Show. A copy that cannot be
// read is named, with Show only: it stays in the folder for the user to look at.

#include "core/recovery.h"
#include "ui/recovery/case_recovery.h"

#include <QDateTime>
#include <QFrame>

namespace kvh::ui {

class RecoveryBar : public QFrame {
    Q_OBJECT
public:
    explicit RecoveryBar(QWidget* parent = nullptr);

    /// "A case was not saved when KVHiTemp last ended: 'anneal.dew', changed at 14:03." The
    /// date comes before the time when the copy is not from the day of `now`.
    static QString offerText(const core::RecoveryNote& note, const QDateTime& now);
    static QString damagedText(const std::string& stem, const std::string& reason);

    /// A line for each copy, found or damaged.
    void offer(const std::vector<CaseRecovery::LeftCopy>& copies, const QDateTime& now);
    /// Adds the line of a copy (`damaged`: Show only).
    void addCopy(const std::string& stem, const QString& text, bool damaged);
    /// Takes away the line of `stem`; the bar hides with its last line.
    void removeCopy(const std::string& stem);
    /// The lines' texts, top to bottom.
    QStringList lines() const;

signals:
    void recoverClicked(const std::string& stem);
    void discardClicked(const std::string& stem);
    void showClicked();

private:
    int m_added = 0;
};

} // namespace kvh::ui
