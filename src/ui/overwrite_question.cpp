#include "ui/overwrite_question.h"

#include "platform/platform.h"

#include <QFileInfo>

namespace kvh::ui {

namespace {

const QString kOverwriteText = QStringLiteral("Overwrite Existing File?");
const QString kOverwriteTitle = QStringLiteral("Warning: File Exists");

} // namespace

bool confirmOverwrite(platform::Platform& platform, QWidget* parent, const QString& path) {
    return !QFileInfo::exists(path) ||
           platform.messageBox(parent, kOverwriteText, kOverwriteTitle, platform::Buttons::YesNo,
                               platform::Icon::Question) == platform::Answer::Yes;
}

} // namespace kvh::ui
