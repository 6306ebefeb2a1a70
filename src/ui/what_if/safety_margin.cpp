#include "ui/what_if/safety_margin.h"

#include <QSettings>

#include <algorithm>
#include <cmath>

namespace kvh::ui {

namespace {

const QString kMarginKey = QStringLiteral("WhatIf/MarginCelsius");
/// A margin beyond any limit would leave nothing safe; the setting is held below it.
constexpr double kLargestMargin = 1000.0;

double held(double celsius) {
    return std::isfinite(celsius) ? std::clamp(celsius, 0.0, kLargestMargin) : 0.0;
}

} // namespace

void SafetyMargin::setSettings(QSettings* settings) {
    m_settings = settings;
    if (!settings)
        return;
    bool ok = false;
    const double stored = settings->value(kMarginKey, 0.0).toDouble(&ok);
    const double value = ok ? held(stored) : 0.0;
    if (value != m_celsius) {
        m_celsius = value;
        emit changed(m_celsius);
    }
}

void SafetyMargin::setCelsius(double celsius) {
    const double value = held(celsius);
    if (value == m_celsius)
        return;
    m_celsius = value;
    if (m_settings)
        m_settings->setValue(kMarginKey, m_celsius);
    emit changed(m_celsius);
}

} // namespace kvh::ui
