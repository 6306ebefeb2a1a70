#pragma once
// Text crossing between the core (UTF-8 std::string) and the widgets (QString).

#include <QString>

#include <string>
#include <string_view>

namespace kvh::ui {

inline QString qs(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

inline std::string toStd(const QString& text) {
    return text.toStdString();
}

/// The core's CR LF line ends as a text widget keeps them: LF alone.
inline QString withLf(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace kvh::ui
