#pragma once
// Which recording is attached to which case file as "measured", kept in the program's settings
// beside the recent files (never in the ".dew" file, whose format stays as it is).

#include "core/recording.h"

#include <QString>

#include <optional>

QT_BEGIN_NAMESPACE
class QSettings;
QT_END_NAMESPACE

namespace kvh::ui {

/// A recording attached to a case: the file, how it is read, its logger column and offset.
struct MeasuredAttachment {
    QString tracePath;
    core::RecordingOptions options; ///< caseUnit is not kept: it is the case's at each run
    int column = 0;                 ///< index into the recording's temperature columns
    double offset = 0.0;            ///< recording minutes before the profile's start
    bool operator==(const MeasuredAttachment&) const = default;
};

/// The attachments by case file, in a settings object (none: nothing is kept).
class MeasuredStore {
public:
    void setSettings(QSettings* settings) { m_settings = settings; }
    std::optional<MeasuredAttachment> find(const QString& casePath) const;
    void remember(const QString& casePath, const MeasuredAttachment& attachment);
    void forget(const QString& casePath);

private:
    QString group(const QString& casePath) const;
    QSettings* m_settings = nullptr;
};

} // namespace kvh::ui
