#pragma once
// The safety margin, a user setting in degrees Celsius (default 0), remembered between runs.

#include <QObject>

QT_BEGIN_NAMESPACE
class QSettings;
QT_END_NAMESPACE

namespace kvh::ui {

/// The margin the advisor and the "What If" page judge "safe" by. Kept in the settings, when
/// there are any, under "WhatIf/MarginCelsius".
class SafetyMargin : public QObject {
    Q_OBJECT
public:
    explicit SafetyMargin(QObject* parent = nullptr) : QObject(parent) {}

    double celsius() const { return m_celsius; }
    /// Takes the value kept in `settings` (a stored value that is no margin is ignored) and
    /// keeps changes there from now on; null keeps them for this window only.
    void setSettings(QSettings* settings);

public slots:
    /// A negative or non-finite margin is taken as 0.
    void setCelsius(double celsius);

signals:
    void changed(double celsius);

private:
    double m_celsius = 0.0;
    QSettings* m_settings = nullptr;
};

} // namespace kvh::ui
