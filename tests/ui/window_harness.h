#pragma once
// The real main window on a fake platform, shown offscreen, its grid's model under Qt's model
// tester, with the few gestures the tests repeat: clicking grid cells and headers, typing into the
// overlay editor, choosing options, opening a ".dew" text through the fake Open dialog.

#include "fake_platform.h"

#include "core/case.h"
#include "ui/chart/results_chart.h"
#include "ui/pages/option_buttons.h"
#include "ui/pages/profile_grid.h"
#include "ui/window/main_window.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <map>
#include <memory>

namespace kvh::test {

inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// Writes `bytes` to `path` (the test stops if it cannot); returns the path.
inline QString writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

/// A caption as the user sees and a screen reader reads it: the mnemonic's "&" taken out.
inline QString shownText(const QString& caption) {
    return ui::shownCaption(caption);
}

/// A case a tracer comes through: 25 °C, a 30-minute ramp to 60, 30 minutes there, cooled.
inline const QByteArray kPassingCase = "[Setup]\r\nTemp Units = 1\r\nTime Units = 0\r\n"
                                       "Davar Model = 4\r\nTracer Type = 1\r\nEnvironment = 0\r\n"
                                       "[Data]\r\nS,25,0\r\nR,60,30\r\nD,60,30\r\nE,25,30\r\n";
/// 7520 in air, a quarter hour up to 400 °C and 105 minutes there: PASS with the dwell warning
/// (a maximum of 129.6 °C), and the inside peaks some 40 minutes after the end.
inline const QByteArray kLatePeakCase = "[Setup]\r\nTemp Units = 1\r\nTime Units = 0\r\n"
                                        "Davar Model = 1\r\nTracer Type = 1\r\nEnvironment = 0\r\n"
                                        "[Data]\r\nS,25,0\r\nR,400,15\r\nD,400,105\r\nE,25,5\r\n";
/// Ten hours at 400 °C: no barrier keeps the tracer below its limit.
inline const QByteArray kFailingCase = "[Setup]\r\nTemp Units = 1\r\nTime Units = 0\r\n"
                                       "Davar Model = 4\r\nTracer Type = 1\r\nEnvironment = 0\r\n"
                                       "[Data]\r\nS,25,0\r\nR,400,30\r\nD,400,600\r\nE,25,30\r\n";

class WindowHarness {
public:
    FakePlatform platform;
    std::unique_ptr<ui::MainWindow> window;
    QTemporaryDir dir;

    WindowHarness() : window(std::make_unique<ui::MainWindow>(platform)) {
        window->resize(1000, 760);
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            qFatal("the window was not exposed");
        // Qt's model tester follows every change the window makes to the grid's model.
        QAbstractItemModel* m = grid()->model();
        m_model = m;
        new QAbstractItemModelTester(m, QAbstractItemModelTester::FailureReportingMode::QtTest,
                                     window.get());
        // Mirror what the grid's view is told, so that a change it never heard of is not shown.
        const auto all = [this, m] { copyShown(0, 0, m->rowCount() - 1, m->columnCount() - 1); };
        all();
        QObject::connect(m, &QAbstractItemModel::modelReset, window.get(), all);
        QObject::connect(m, &QAbstractItemModel::rowsInserted, window.get(), all);
        QObject::connect(m, &QAbstractItemModel::rowsRemoved, window.get(), [this, all] {
            m_shown.clear();
            all();
        });
        QObject::connect(m, &QAbstractItemModel::dataChanged, window.get(),
                         [this](const QModelIndex& a, const QModelIndex& b) {
                             copyShown(a.row(), a.column(), b.row(), b.column());
                         });
        QObject::connect(m, &QAbstractItemModel::headerDataChanged, window.get(),
                         [this](Qt::Orientation o, int first, int last) {
                             if (o == Qt::Horizontal)
                                 copyShown(0, first, 0, last);
                             else
                                 copyShown(first, 0, last, 0);
                         });
    }

    ~WindowHarness() { window.reset(); } // before the mirror below

    template <class T> T* get(const QString& name) const {
        T* w = window->findChild<T*>(name);
        if (!w)
            qFatal("no child named %s", qPrintable(name));
        return w;
    }
    template <class T> T* get(const char* name) const { return get<T>(QString::fromLatin1(name)); }

    QTabWidget* tab() const { return get<QTabWidget>("Tab1"); }
    ui::ProfileGrid* grid() const { return get<ui::ProfileGrid>("fg1"); }
    QLineEdit* editor() const { return get<QLineEdit>("txtFGIn"); }
    QAction* action(const char* name) const { return get<QAction>(name); }
    QPushButton* button(const char* name) const { return get<QPushButton>(name); }
    QRadioButton* option(const char* group, int index) const {
        return get<QRadioButton>(QString::fromLatin1(group) + QLatin1Char('_') +
                                 QString::number(index));
    }
    QString lblSetup() const { return get<QLabel>("lblSetup")->text(); }
    QString txtPF() const { return get<QLineEdit>("txtPF")->text(); }
    QString txtMaxResults() const { return get<QPlainTextEdit>("txtMaxResults")->toPlainText(); }
    const core::Case& theCase() const { return window->currentCase(); }
    /// What the grid shows in a cell (row 0 and column 0 in the frozen headers), as of the
    /// model's last change signal for it.
    QString shown(int row, int col) const {
        const auto it = m_shown.find({row, col});
        return it == m_shown.end() ? QString() : it->second;
    }

    /// What the window shows of the case: every grid cell as shown (blanks around a step's
    /// name taken off when `trimmed`), then every option button, checked or not, offered or not,
    /// in name order (showing a page changes the order of the children).
    QStringList shownState(bool trimmed = false) const {
        QStringList out, options;
        const QAbstractItemModel* m = grid()->model();
        for (int r = 0; r < m->rowCount(); ++r)
            for (int c = 0; c < m->columnCount(); ++c)
                out << (trimmed ? shown(r, c).trimmed() : shown(r, c));
        for (auto* b : window->findChildren<QRadioButton*>())
            options << b->objectName() + QString::number(b->isChecked()) +
                           QString::number(b->isHidden());
        options.sort();
        return out + options;
    }

    void showPage(int page) {
        tab()->setCurrentIndex(page);
        QCoreApplication::processEvents();
    }

    void clickCell(int row, int col) {
        ui::ProfileGrid* g = grid();
        g->scrollTo(g->model()->index(row, col));
        const QRect r = g->visualRect(g->model()->index(row, col));
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, r.center());
    }
    void dragCells(int row1, int col1, int row2, int col2) {
        ui::ProfileGrid* g = grid();
        const QPoint from = g->visualRect(g->model()->index(row1, col1)).center();
        const QPoint to = g->visualRect(g->model()->index(row2, col2)).center();
        QTest::mousePress(g->viewport(), Qt::LeftButton, {}, from);
        QMouseEvent move(QEvent::MouseMove, to, g->viewport()->mapToGlobal(to), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(g->viewport(), &move);
        QTest::mouseRelease(g->viewport(), Qt::LeftButton, {}, to);
    }
    void clickColumnHeader(int col) {
        QHeaderView* h = grid()->horizontalHeader();
        const QPoint at(h->sectionViewportPosition(col) + h->sectionSize(col) / 2, h->height() / 2);
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, at);
    }
    void clickRowHeader(int row) {
        QHeaderView* h = grid()->verticalHeader();
        const QPoint at(h->width() / 2, h->sectionViewportPosition(row) + h->sectionSize(row) / 2);
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, at);
    }
    /// Clicks a temperature or time cell and types `text` into the editor that opens.
    void typeInto(int row, int col, const QString& text) {
        clickCell(row, col);
        editor()->selectAll();
        QTest::keyClicks(editor(), text);
    }
    /// Clicks a Step Type cell `times` times.
    void clickStep(int row, int times) {
        for (int i = 0; i < times; ++i)
            clickCell(row, core::kColStep);
    }

    /// Model, tracer type and environment, in the order that keeps the model.
    void chooseSetup(int model, int tracer, int environ) {
        option("optTracerType", tracer)->click();
        option("optEnviron", environ)->click();
        option("optMod", model)->click();
    }

    /// Writes `bytes` to a file of the scratch folder; returns its path.
    QString writeCase(const QString& name, const QByteArray& bytes = kPassingCase) const {
        return writeFile(dir.filePath(name), bytes);
    }
    /// Writes `dew` to a file and opens it through the fake Open dialog.
    void openText(const QByteArray& dew, const QString& name = QStringLiteral("case.dew")) {
        platform.openAnswers.enqueue(writeCase(name, dew));
        action("mnuOpen")->trigger();
    }
    /// Opens `dew` and shows its results.
    void showResults(const QByteArray& dew = kPassingCase) {
        openText(dew);
        showPage(2);
    }

private:
    void copyShown(int row1, int col1, int row2, int col2) {
        for (int r = row1; r <= row2; ++r)
            for (int c = col1; c <= col2; ++c)
                m_shown[{r, c}] = m_model->index(r, c).data().toString();
    }
    QAbstractItemModel* m_model = nullptr; ///< the grid's, found once: a long table has many cells
    std::map<std::pair<int, int>, QString> m_shown;
};

} // namespace kvh::test
