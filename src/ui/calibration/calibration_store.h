#pragma once
// Calibrated barriers kept as small JSON files, one per barrier, in a folder of the user's data
// (the program's data location; tests give a scratch folder).

#include "core/calibrated_barrier.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace kvh::ui {

/// The folder of calibrated barriers: listing, reading and atomic saving.
class CalibrationStore {
public:
    /// The user's folder: the program's writable data location, "barriers" below it.
    static QString defaultFolder();

    /// No folder: nothing is listed and nothing can be saved.
    void setFolder(const QString& folder) { m_folder = folder; }
    const QString& folder() const { return m_folder; }

    /// Every calibrated barrier the folder holds, by name; a file that is not one is left out
    /// and named in `problems`.
    QList<core::CalibratedBarrier> barriers(QStringList* problems = nullptr) const;
    /// Those fitted for the setup's model, tracer type and environment.
    QList<core::CalibratedBarrier> matching(const core::SetupState& setup) const;

    /// Where a barrier of this name is kept.
    QString pathFor(const QString& name) const;
    /// Saves the barrier (replacing one of the same name) through a temporary file and a
    /// rename; "" on success, else the reason.
    QString save(const core::CalibratedBarrier& barrier) const;

private:
    QString m_folder;
};

} // namespace kvh::ui
