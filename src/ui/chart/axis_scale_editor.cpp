#include "ui/chart/axis_scale_editor.h"

#include "core/chart_data.h"
#include "core/numbers.h"
#include "platform/platform.h"
#include "ui/chart/results_chart.h"

#include <array>
#include <charconv>
#include <optional>
#include <string>
#include <string_view>

namespace kvh::ui {

namespace {

struct AxisTexts {
    QString title;
    QString lowPrompt;
    QString highPrompt;
};

AxisTexts textsFor(core::Axis axis) {
    if (axis == core::Axis::Y)
        return {QStringLiteral("Y Axis Scale"), QStringLiteral("Enter Y axis Low Value"),
                QStringLiteral("Enter Y axis High Value")};
    return {QStringLiteral("X Axis Scale"), QStringLiteral("Enter X axis Low Value"),
            QStringLiteral("Enter X axis High Value")};
}

/// One input box; the answer read strictly (a cancel gives the empty text: no number).
std::optional<float> askValue(platform::Platform& platform, QWidget* parent, const QString& prompt,
                              const QString& title, double current) {
    const QString answer = platform.inputBox(parent, prompt, title, axisValueText(current));
    return core::parseStrictSingle(answer.toStdString());
}

/// The shortest digits that read back to `value`, written out without an exponent
/// ("1e+20" becomes "100000000000000000000", "1.5e-07" becomes "0.00000015").
template <typename T> QString plainDecimal(T value) {
    std::array<char, 64> buffer{};
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                   std::chars_format::scientific)
                         .ptr;
    const std::string_view text(buffer.data(), static_cast<size_t>(end - buffer.data()));
    const bool negative = text.front() == '-';
    const size_t e = text.find('e');
    std::string digits(text.substr(negative ? 1 : 0, e - (negative ? 1 : 0)));
    std::erase(digits, '.');
    int exponent = 0;
    std::from_chars(text.data() + e + 1 + (text[e + 1] == '+' ? 1 : 0), end, exponent);
    const int point = exponent + 1; // digits before the decimal point
    const auto count = static_cast<int>(digits.size());
    std::string plain;
    if (point <= 0)
        plain = "0." + std::string(static_cast<size_t>(-point), '0') + digits;
    else if (point >= count)
        plain = digits + std::string(static_cast<size_t>(point - count), '0');
    else
        plain = digits.substr(0, static_cast<size_t>(point)) + '.' +
                digits.substr(static_cast<size_t>(point));
    return QString::fromStdString(negative ? '-' + plain : plain);
}

} // namespace

QString axisValueText(double value) {
    if (value == 0.0) // also -0: the user means 0
        return QStringLiteral("0");
    if (core::fitsSingle(value))
        return plainDecimal(static_cast<float>(value));
    return plainDecimal(value);
}

bool editAxisScale(ResultsChart& chart, platform::Platform& platform, QWidget* parent, int axisId) {
    const core::Axis axis = axisId == 1 ? core::Axis::Y : core::Axis::X;
    const AxisTexts texts = textsFor(axis);
    const AxisRange current = chart.range(axis);

    const auto low = askValue(platform, parent, texts.lowPrompt, texts.title, current.low);
    if (!low)
        return false;
    const auto high = askValue(platform, parent, texts.highPrompt, texts.title, current.high);
    if (!high)
        return false;
    const auto divisions = core::majorDivisions(axis, *low, *high);
    if (!divisions)
        return false;
    chart.setFixedRange(axis, *low, *high, *divisions);
    return true;
}

} // namespace kvh::ui
