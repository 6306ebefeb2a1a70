#pragma once
// The question every Save-like command asks before it replaces a file.

#include <QString>

class QWidget;

namespace kvh::platform {
class Platform;
}

namespace kvh::ui {

/// True when `path` does not exist yet, or the user answers Yes to "Overwrite Existing File?".
bool confirmOverwrite(platform::Platform& platform, QWidget* parent, const QString& path);

} // namespace kvh::ui
