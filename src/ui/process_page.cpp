#include "ui/process_page.h"

#include "ui/profile_grid.h"
#include "ui/profile_model.h"
#include "ui/qt_text.h"

#include <QAction>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kvh::ui {

namespace {

const QString kPageCaption = QStringLiteral("Describe the Process Temperature Parameters");
const QString kConvertTempCaption = QStringLiteral("Convert °C / °F");
const QString kConvertTimeCaption = QStringLiteral("Convert Hrs. / Mins.");
const QString kInsertAboveCaption = QStringLiteral("Insert Row &Above");
const QString kInsertBelowCaption = QStringLiteral("Insert Row &Below");
const QString kDeleteRowsCaption = QStringLiteral("&Delete Rows");
const QString kGridName = QStringLiteral("Process profile");

QString arrayName(const QString& name, int index) {
    return name + QLatin1Char('_') + QString::number(index);
}

} // namespace

ProcessPage::ProcessPage(ProfileModel& model, QWidget* parent)
    : QGroupBox(kPageCaption, parent), m_grid(new ProfileGrid(&model, this)),
      m_insertAbove(makeRowAction(QStringLiteral("mnuInsertRowAbove"), kInsertAboveCaption,
                                  QKeySequence(Qt::CTRL | Qt::Key_Insert))),
      m_insertBelow(makeRowAction(QStringLiteral("mnuInsertRowBelow"), kInsertBelowCaption,
                                  QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Insert))),
      m_deleteRows(makeRowAction(QStringLiteral("mnuDeleteRows"), kDeleteRowsCaption,
                                 QKeySequence(Qt::CTRL | Qt::Key_Delete))),
      m_addRow(new QPushButton(qs(core::kInsertRowCaption), this)),
      m_rowCol(new QPushButton(qs(core::kClearIdleCaption), this)) {
    setObjectName(QStringLiteral("fra_1"));
    setProperty("index", 1);
    m_addRow->setObjectName(QStringLiteral("cmdAddRow"));
    m_rowCol->setObjectName(QStringLiteral("cmdRowCol"));
    m_rowCol->setEnabled(false);
    connect(m_addRow, &QPushButton::clicked, this, &ProcessPage::addRowClicked);
    connect(m_rowCol, &QPushButton::clicked, this, &ProcessPage::rowColClicked);
    m_grid->setAccessibleName(kGridName);
    m_grid->addActions({m_insertAbove, m_insertBelow, m_deleteRows});
    connect(m_insertAbove, &QAction::triggered, this, [this] { emit insertRowClicked(false); });
    connect(m_insertBelow, &QAction::triggered, this, [this] { emit insertRowClicked(true); });
    connect(m_deleteRows, &QAction::triggered, this, &ProcessPage::deleteRowsClicked);
    connect(m_grid, &ProfileGrid::rowMenuRequested, this, &ProcessPage::showRowMenu);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_addRow);
    buttons->addWidget(m_rowCol);
    buttons->addStretch();
    auto* left = new QVBoxLayout;
    left->addWidget(m_grid);
    left->addLayout(buttons);
    left->addStretch();

    auto* right = new QVBoxLayout;
    right->addWidget(makeUnitFrame(QStringLiteral("fraTempUnits"), qs(core::kTempUnitFrameCaption),
                                   m_tempUnits, QStringLiteral("optTempUnits"),
                                   core::kTempUnitCaptions, 0));
    right->addWidget(makeUnitFrame(QStringLiteral("Frame1"), qs(core::kTimeUnitFrameCaption),
                                   m_timeUnits, QStringLiteral("optTimeUnits"),
                                   core::kTimeUnitCaptions, 1));
    right->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addSpacing(24);
    layout->addLayout(right);
    layout->addStretch();
}

QGroupBox* ProcessPage::makeUnitFrame(const QString& name, const QString& caption,
                                      std::array<QRadioButton*, 2>& buttons,
                                      const QString& buttonName,
                                      const std::array<std::string_view, 2>& captions,
                                      int convertIndex) {
    auto* frame = new QGroupBox(caption, this);
    frame->setObjectName(name);
    auto* layout = new QVBoxLayout(frame);
    for (int i = 0; i < 2; ++i) {
        auto* button = new QRadioButton(qs(captions[static_cast<size_t>(i)]), frame);
        button->setObjectName(arrayName(buttonName, i));
        button->setProperty("index", i);
        button->setAutoExclusive(false); // the setup state decides what is selected
        buttons[static_cast<size_t>(i)] = button;
        layout->addWidget(button);
        const bool temp = convertIndex == 0;
        connect(button, &QRadioButton::clicked, this, [this, temp, i] {
            if (temp)
                emit tempUnitClicked(i);
            else
                emit timeUnitClicked(i);
        });
    }
    auto* convert =
        new QPushButton(convertIndex == 0 ? kConvertTempCaption : kConvertTimeCaption, frame);
    convert->setObjectName(arrayName(QStringLiteral("cmdConvert"), convertIndex));
    convert->setProperty("index", convertIndex);
    connect(convert, &QPushButton::clicked, this,
            [this, convertIndex] { emit convertClicked(convertIndex); });
    layout->addWidget(convert);
    return frame;
}

QAction* ProcessPage::makeRowAction(const QString& name, const QString& caption,
                                    const QKeySequence& keys) {
    auto* action = new QAction(caption, this);
    action->setObjectName(name);
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    return action;
}

void ProcessPage::showRowMenu(const QPoint& global) {
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("mnuRows"));
    menu.addActions({m_insertAbove, m_insertBelow, m_deleteRows});
    menu.exec(global);
}

void ProcessPage::showUnits(const core::SetupState& setup) {
    for (int i = 0; i < 2; ++i) {
        m_tempUnits[static_cast<size_t>(i)]->setChecked(setup.tempUnit().isSelected(i));
        m_timeUnits[static_cast<size_t>(i)]->setChecked(setup.timeUnit().isSelected(i));
    }
}

void ProcessPage::showClearButton(const core::ClearButton& button) {
    m_rowCol->setText(qs(button.caption));
    m_rowCol->setProperty("tag", qs(button.tag));
    m_rowCol->setEnabled(button.enabled);
}

} // namespace kvh::ui
