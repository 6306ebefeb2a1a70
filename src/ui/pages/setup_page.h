#pragma once
// The "Setup" page (`fra_0`): the barrier model, tracer type and process environment groups.
// Control arrays are named `<name>_<index>`: optMod_0 … optMod_5, optTracerType_0/1,
// optEnviron_0/1; each also carries its index in the property "index". The frames fraModel,
// fraTracerType and fraEnvironment carry their selection tag in the property "tag". The
// buttons are radio buttons exclusive within their frame; captions carry mnemonics.

#include "core/setup.h"

#include <QGroupBox>

#include <array>

QT_BEGIN_NAMESPACE
class QRadioButton;
class QVBoxLayout;
QT_END_NAMESPACE

namespace kvh::ui {

class SetupPage : public QGroupBox {
    Q_OBJECT
public:
    explicit SetupPage(QWidget* parent = nullptr);

    /// Shows the selected, offered and hidden buttons and the frame tags of `setup`.
    void showState(const core::SetupState& setup);
    /// Shows `widget` under the model buttons' frame.
    void addUnderModels(QWidget* widget);
    /// Clicks the button of model `index`, as the user would.
    void clickModel(int index);

signals:
    void modelClicked(int index);
    void tracerClicked(int index);
    void environClicked(int index);

private:
    /// The model frame on the left, tracer and environment on the right.
    void layOut();
    QGroupBox* makeFrame(const QString& name, const QString& caption);
    QRadioButton* makeButton(QGroupBox* frame, const QString& name, int index,
                             const QString& caption, const QString& tip);

    QGroupBox* m_fraModel;
    QVBoxLayout* m_left = nullptr; ///< the model frame's column
    QGroupBox* m_fraTracer;
    QGroupBox* m_fraEnviron;
    std::array<QRadioButton*, core::kModelCount> m_models{};
    std::array<QRadioButton*, 2> m_tracers{};
    std::array<QRadioButton*, 2> m_environs{};
};

} // namespace kvh::ui
