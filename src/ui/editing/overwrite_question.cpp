#include "ui/editing/overwrite_question.h"

#include "platform/platform.h"

#include "ui/editing/file_names.h"

#include <sys/stat.h>

namespace kvh::ui {

namespace {

const QString kOverwriteText = QStringLiteral("Overwrite Existing File?");
const QString kOverwriteTitle = QStringLiteral("Warning: File Exists");

} // namespace

bool confirmOverwrite(platform::Platform& platform, QWidget* parent, const QString& path) {
    struct stat st {};
    const bool exists = ::stat(localFileName(path).constData(), &st) == 0;
    return !exists ||
           platform.messageBox(parent, kOverwriteText, kOverwriteTitle, platform::Buttons::YesNo,
                               platform::Icon::Question) == platform::Answer::Yes;
}

} // namespace kvh::ui
