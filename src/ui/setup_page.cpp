#include "ui/setup_page.h"

#include "ui/qt_text.h"

#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kvh::ui {

namespace {

const QString kPageCaption =
    QStringLiteral("Specify Dewar or Thermal Pack model, Tracer Type and Process Environment");

} // namespace

SetupPage::SetupPage(QWidget* parent)
    : QGroupBox(kPageCaption, parent),
      m_fraModel(makeFrame(QStringLiteral("fraModel"), core::kModelFrameCaption)),
      m_fraTracer(makeFrame(QStringLiteral("fraTracerType"), core::kTracerFrameCaption)),
      m_fraEnviron(makeFrame(QStringLiteral("fraEnvironment"), core::kEnvironFrameCaption)) {
    setObjectName(QStringLiteral("fra_0"));
    setProperty("index", 0);
    for (int i : core::kModelScreenOrder) {
        m_models[static_cast<size_t>(i)] = makeButton(m_fraModel, QStringLiteral("optMod"), i,
                                                      core::kModelCaptions[static_cast<size_t>(i)]);
        connect(m_models[static_cast<size_t>(i)], &QRadioButton::clicked, this,
                [this, i] { emit modelClicked(i); });
    }
    for (int i = 0; i < 2; ++i) {
        const auto n = static_cast<size_t>(i);
        m_tracers[n] =
            makeButton(m_fraTracer, QStringLiteral("optTracerType"), i, core::kTracerCaptions[n]);
        connect(m_tracers[n], &QRadioButton::clicked, this, [this, i] { emit tracerClicked(i); });
        m_environs[n] =
            makeButton(m_fraEnviron, QStringLiteral("optEnviron"), i, core::kEnvironCaptions[n]);
        connect(m_environs[n], &QRadioButton::clicked, this, [this, i] { emit environClicked(i); });
    }
    auto* right = new QVBoxLayout;
    right->addWidget(m_fraTracer);
    right->addWidget(m_fraEnviron);
    right->addStretch();
    auto* left = new QVBoxLayout;
    left->addWidget(m_fraModel);
    left->addStretch();
    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addSpacing(24);
    columns->addLayout(right);
    columns->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->addLayout(columns);
}

QGroupBox* SetupPage::makeFrame(const QString& name, std::string_view caption) {
    auto* frame = new QGroupBox(qs(caption), this);
    frame->setObjectName(name);
    frame->setProperty("tag", QString());
    new QVBoxLayout(frame);
    return frame;
}

QRadioButton* SetupPage::makeButton(QGroupBox* frame, const QString& name, int index,
                                    std::string_view caption) {
    auto* button = new QRadioButton(qs(caption), frame);
    button->setObjectName(name + QLatin1Char('_') + QString::number(index));
    button->setProperty("index", index);
    button->setAutoExclusive(false); // the setup state decides what is selected
    frame->layout()->addWidget(button);
    return button;
}

void SetupPage::showState(const core::SetupState& setup) {
    for (int i = 0; i < core::kModelCount; ++i) {
        QRadioButton* button = m_models[static_cast<size_t>(i)];
        button->setVisible(setup.modelVisible(i));
        button->setChecked(setup.model().isSelected(i));
    }
    for (int i = 0; i < 2; ++i) {
        m_tracers[static_cast<size_t>(i)]->setChecked(setup.tracer().isSelected(i));
        m_environs[static_cast<size_t>(i)]->setChecked(setup.environ().isSelected(i));
    }
    m_fraModel->setProperty("tag", qs(setup.modelTag()));
    m_fraTracer->setProperty("tag", qs(setup.tracerTag()));
    m_fraEnviron->setProperty("tag", qs(setup.environTag()));
}

} // namespace kvh::ui
