#include "ui/pages/setup_page.h"

#include "ui/pages/option_buttons.h"
#include "ui/qt_text.h"

#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kvh::ui {

namespace {

const QString kPageCaption =
    QStringLiteral("Specify Dewar or Thermal Pack model, Tracer Type and Process Environment");
const QString kModelTip = QStringLiteral(
    "The thermal barrier the tracer travels in. 7105 is offered for Tessel III only, 7210 for "
    "Tessel III in air.");
const QString kTracerTip =
    QStringLiteral("The type of tracer (data logger) inside the barrier: it sets the limit.");
const QString kEnvironTip =
    QStringLiteral("What the barrier meets in the process: hot air or a liquid bath.");
/// Where each caption is underlined: the models on their second digit (Alt+6, 5, 4, 3, 1, 2).
constexpr qsizetype kModelMnemonicAt = 1;
constexpr std::array<std::u16string_view, 2> kTracerMnemonics = {u"VTX", u"Tessel"};
constexpr std::array<std::u16string_view, 2> kEnvironMnemonics = {u"ir", u"Liquid"};

QStringView view(std::u16string_view part) {
    return QStringView(part.data(), static_cast<qsizetype>(part.size()));
}

} // namespace

SetupPage::SetupPage(QWidget* parent)
    : QGroupBox(kPageCaption, parent),
      m_fraModel(makeFrame(QStringLiteral("fraModel"),
                           withMnemonic(qs(core::kModelFrameCaption), u"Model"))),
      m_fraTracer(makeFrame(QStringLiteral("fraTracerType"),
                            withMnemonic(qs(core::kTracerFrameCaption), 1))),
      m_fraEnviron(makeFrame(QStringLiteral("fraEnvironment"),
                             withMnemonic(qs(core::kEnvironFrameCaption), u"nvironment"))) {
    setObjectName(QStringLiteral("fra_0"));
    setProperty("index", 0);
    // Created in the order the page reads (models from the top, then tracer, then
    // environment), which is the order Tab follows.
    for (int i : core::kModelScreenOrder) {
        const auto n = static_cast<size_t>(i);
        m_models[n] =
            makeButton(m_fraModel, QStringLiteral("optMod"), i,
                       withMnemonic(qs(core::kModelCaptions[n]), kModelMnemonicAt), kModelTip);
        connect(m_models[n], &QRadioButton::clicked, this, [this, i] { emit modelClicked(i); });
    }
    for (int i = 0; i < 2; ++i) {
        const auto n = static_cast<size_t>(i);
        m_tracers[n] = makeButton(
            m_fraTracer, QStringLiteral("optTracerType"), i,
            withMnemonic(qs(core::kTracerCaptions[n]), view(kTracerMnemonics[n])), kTracerTip);
        connect(m_tracers[n], &QRadioButton::clicked, this, [this, i] { emit tracerClicked(i); });
    }
    for (int i = 0; i < 2; ++i) {
        const auto n = static_cast<size_t>(i);
        m_environs[n] = makeButton(
            m_fraEnviron, QStringLiteral("optEnviron"), i,
            withMnemonic(qs(core::kEnvironCaptions[n]), view(kEnvironMnemonics[n])), kEnvironTip);
        connect(m_environs[n], &QRadioButton::clicked, this, [this, i] { emit environClicked(i); });
    }
    layOut();
}

void SetupPage::layOut() {
    auto* right = new QVBoxLayout;
    right->addWidget(m_fraTracer);
    right->addWidget(m_fraEnviron);
    right->addStretch();
    auto* left = new QVBoxLayout;
    m_left = left;
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

void SetupPage::addUnderModels(QWidget* widget) {
    m_left->insertWidget(m_left->indexOf(m_fraModel) + 1, widget);
}

QGroupBox* SetupPage::makeFrame(const QString& name, const QString& caption) {
    // The frame's title names its group of buttons for screen readers (left alone, Qt would
    // name it after the page's title around it).
    auto* frame = new QGroupBox(caption, this);
    frame->setObjectName(name);
    frame->setAccessibleName(shownCaption(caption));
    frame->setProperty("tag", QString());
    new QVBoxLayout(frame);
    return frame;
}

QRadioButton* SetupPage::makeButton(QGroupBox* frame, const QString& name, int index,
                                    const QString& caption, const QString& tip) {
    // Exclusive within its frame, so arrow keys move through the group and screen readers
    // announce radio buttons; the setup state still decides what is selected.
    auto* button = new QRadioButton(caption, frame);
    button->setObjectName(name + QLatin1Char('_') + QString::number(index));
    button->setProperty("index", index);
    button->setToolTip(tip);
    frame->layout()->addWidget(button);
    return button;
}

void SetupPage::showState(const core::SetupState& setup) {
    for (int i = 0; i < core::kModelCount; ++i)
        m_models[static_cast<size_t>(i)]->setVisible(setup.modelVisible(i));
    showChecked(m_models, [&](int i) { return setup.model().isSelected(i); });
    showChecked(m_tracers, [&](int i) { return setup.tracer().isSelected(i); });
    showChecked(m_environs, [&](int i) { return setup.environ().isSelected(i); });
    m_fraModel->setProperty("tag", qs(setup.modelTag()));
    m_fraTracer->setProperty("tag", qs(setup.tracerTag()));
    m_fraEnviron->setProperty("tag", qs(setup.environTag()));
}

void SetupPage::clickModel(int index) {
    m_models.at(static_cast<size_t>(index))->click();
}

} // namespace kvh::ui
