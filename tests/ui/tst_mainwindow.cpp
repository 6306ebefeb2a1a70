// The main window: start-up, menus, the page change and its refusal, the model rules as the
// buttons show them, Reset, About, Exit and Copy Data and Text.

#include "window_harness.h"

#include "core/model.h"
#include "core/report.h"

#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLayout>
#include <QMenuBar>
#include <QTextBrowser>

using namespace kvh;
using namespace Qt::StringLiterals;
using test::WindowHarness;

class TestMainWindow : public QObject {
    Q_OBJECT
    std::unique_ptr<WindowHarness> h;

    /// Which of the six model buttons are offered, as a string of indices ("01235").
    QString offeredModels() const {
        QString out;
        for (int i = 0; i < core::kModelCount; ++i)
            if (h->option("optMod", i)->isVisibleTo(h->window.get()))
                out += QString::number(i);
        return out;
    }

private slots:
    void init() { h = std::make_unique<WindowHarness>(); }
    void cleanup() { h.reset(); }

    void startUp() {
        QCOMPARE(h->tab()->currentIndex(), 0);
        QCOMPARE(h->lblSetup(), QString());
        QVERIFY(h->editor()->isHidden());
        QCOMPARE(offeredModels(), u"0123"_s);
        // Nothing chosen but the units: °C and minutes.
        for (const char* group : {"optMod", "optTracerType", "optEnviron"})
            QVERIFY(!h->option(group, 0)->isChecked() && !h->option(group, 1)->isChecked());
        QVERIFY(h->option("optTempUnits", 1)->isChecked() &&
                h->option("optTimeUnits", 0)->isChecked());
        // Nothing to print, export or undo before the first run or edit.
        for (const char* name :
             {"mnuPrint", "mnuPrintPreview", "mnuExportPdf", "mnuUndo", "mnuRedo"})
            QVERIFY2(!h->action(name)->isEnabled(), name);
        // 7105 stands before 7210 on the screen.
        QLayout* layout = h->get<QGroupBox>("fraModel")->layout();
        QStringList names;
        for (int i = 0; i < layout->count(); ++i)
            names << layout->itemAt(i)->widget()->objectName();
        QCOMPARE(names, QStringList({u"optMod_0"_s, u"optMod_1"_s, u"optMod_2"_s, u"optMod_3"_s,
                                     u"optMod_5"_s, u"optMod_4"_s}));
    }

    void menuItemsAreNamedWithDistinctKeys() {
        h->openText(test::kPassingCase); // a recent file in its menu
        QList<QKeySequence> shortcuts;
        QList<QList<QAction*>> menus{h->window->menuBar()->actions()};
        for (qsizetype m = 0; m < menus.size(); ++m) {
            QStringList mnemonics;
            const QList<QAction*> items = menus[m];
            for (QAction* a : items) {
                if (a->isSeparator())
                    continue;
                // A menu of the bar is found by its own name, any other item by its action's.
                const QString name = a->objectName().isEmpty() && a->menu()
                                         ? a->menu()->objectName()
                                         : a->objectName();
                QVERIFY2(name.startsWith(u"mnu"_s), qPrintable(a->text()));
                // A mnemonic is unique within its menu ("&&" is a plain "&").
                const QString text = QString(a->text()).remove(u"&&"_s);
                if (const qsizetype at = text.indexOf(u'&'); at >= 0) {
                    const QString key = text.mid(at + 1, 1).toLower();
                    QVERIFY2(!mnemonics.contains(key), qPrintable(name + u" "_s + key));
                    mnemonics << key;
                }
                for (const QKeySequence& key : a->shortcuts()) {
                    QVERIFY2(!shortcuts.contains(key), qPrintable(name + u" "_s + key.toString()));
                    shortcuts << key;
                }
                if (a->menu())
                    menus.emplaceBack(a->menu()->actions());
            }
        }
        // The commands everyone knows answer the desktop's own keys, where it has any.
        const std::pair<const char*, QKeySequence::StandardKey> standard[] = {
            {"mnuNew", QKeySequence::New},   {"mnuOpen", QKeySequence::Open},
            {"mnuSave", QKeySequence::Save}, {"mnuPrint", QKeySequence::Print},
            {"mnuExit", QKeySequence::Quit}, {"mnuUndo", QKeySequence::Undo},
            {"mnuRedo", QKeySequence::Redo}, {"mnuHandbook", QKeySequence::HelpContents}};
        for (const auto& [name, key] : standard)
            QVERIFY2(QKeySequence::keyBindings(key).isEmpty() ||
                         QKeySequence::keyBindings(key).contains(h->action(name)->shortcut()),
                     name);
    }

    void refusalsBeforeResults_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("critical");
        const QString setup = u"Setup not complete! Results cannot be displayed"_s;
        QTest::newRow("results page") << u"Tab1"_s << setup << u"Setup Error"_s << false;
        QTest::newRow("tracer only") << u"chkTracerOnly"_s << setup << u"Setup Error"_s << false;
        QTest::newRow("copy data")
            << u"mnuCopyData"_s << u"The Results have not yet been calculated or created."_s
            << u"Data Copy Error"_s << true;
        QTest::newRow("copy graph")
            << u"mnuCopyGraph"_s
            << u"The Results and Graph have not yet been calculated or created."_s
            << u"Graph Copy Error"_s << true;
    }
    void refusalsBeforeResults() {
        QFETCH(QString, command);
        QFETCH(QString, text);
        QFETCH(QString, title);
        QFETCH(bool, critical);
        h->platform.clipboardText = u"kept"_s;
        if (command == u"Tab1"_s)
            h->showPage(2);
        else if (command == u"chkTracerOnly"_s)
            h->get<QCheckBox>(command)->click();
        else
            h->get<QAction>(command)->trigger();
        QCOMPARE(h->platform.messages.size(), 1);
        QCOMPARE(h->platform.messages[0].text, text);
        QCOMPARE(h->platform.messages[0].title, title);
        QCOMPARE(h->platform.messages[0].buttons, platform::Buttons::Ok);
        QCOMPARE(h->platform.messages[0].icon,
                 critical ? platform::Icon::Critical : platform::Icon::None);
        QCOMPARE(h->tab()->currentIndex(), command == u"Tab1"_s ? 2 : 0); // the user stays
        QVERIFY(!h->action("mnuPrint")->isEnabled());
        QCOMPARE(h->txtPF(), QString());
        QVERIFY(h->window->chart().data().internal.empty());
        QCOMPARE(h->platform.clipboardText, u"kept"_s);
        QCOMPARE(h->window->reportText(), QString());
    }

    void modelButtonsFollowTheRules() {
        // The buttons show what the setup's rules make of the clicks: liquid hides 7210 and
        // replaces the chosen 7105 by 7640.
        for (const char* name : {"optTracerType_1", "optEnviron_0", "optMod_5", "optEnviron_1"})
            h->get<QRadioButton>(name)->click();
        QCOMPARE(offeredModels(), u"01235"_s);
        for (int i = 0; i < core::kModelCount; ++i)
            QCOMPARE(h->option("optMod", i)->isChecked(), i == 0);
        h->showPage(1);
        QCOMPARE(h->lblSetup(), u"Model 7640; Tessel III; in Liquid"_s);
    }

    void pageChangesRefreshLabelAndChart() {
        h->showPage(1);
        QCOMPARE(h->lblSetup(), u"Setup Not Specified"_s);
        h->chooseSetup(2, 1, 0);
        h->showPage(2);
        QVERIFY(h->platform.messages.isEmpty());
        QVERIFY(h->action("mnuPrint")->isEnabled());
        QCOMPARE(h->txtPF(), u"PASS"_s); // 25 °C throughout
        QCOMPARE(h->lblSetup(), u"Model 7440; Tessel III; in Air"_s);
        h->showPage(0);
        QCOMPARE(h->lblSetup(), u"Model 7440; Tessel III; in Air"_s);
        QVERIFY(!h->window->chart().data().limit.empty()); // Setup leaves the chart alone
        h->showPage(1);
        QVERIFY(h->window->chart().data().limit.empty()); // Process Data resets it
        QVERIFY(h->action("mnuPrint")->isEnabled());
    }

    void resetRecomputesOnlyOnTheResultsPage() {
        h->showResults(test::kFailingCase);
        h->window->chart().setFixedRange(core::Axis::Y, 0, 1000, 10);
        h->action("mnuReset")->trigger();
        QVERIFY(h->window->chart().isAutoScale(core::Axis::Y));
        QVERIFY(!h->window->chart().data().internal.empty());
        QCOMPARE(h->txtPF(), u"FAIL"_s);
        h->showPage(0);
        h->action("mnuReset")->trigger();
        QVERIFY(h->window->chart().data().internal.empty()); // chart reset, nothing run
        QCOMPARE(h->txtPF(), u"FAIL"_s);                     // the texts stay
        QVERIFY(h->platform.messages.isEmpty());
    }

    void handbookOnF1() {
        // F1 opens the handbook from any page; its results chapter holds the safety advice.
        h->showPage(1);
        QTest::keyClick(h->window.get(), Qt::Key_F1);
        auto* handbook = h->get<QDialog>("frmHandbook");
        QVERIFY(handbook->isVisible());
        const QString text = h->get<QTextBrowser>("txtHandbook")->toPlainText();
        for (const QString& chapter :
             {u"Entering a profile"_s, u"Results and what every number means"_s,
              u"The advisor: comparing barriers"_s, u"The command line"_s, u"The file format"_s})
            QVERIFY2(text.contains(chapter), qPrintable(chapter));
        const qsizetype results = text.indexOf(u"Results and what every number means"_s);
        const qsizetype advice = text.indexOf(u"Always include a cool down period"_s);
        QVERIFY(advice > results && advice < text.indexOf(u"The advisor: comparing"_s));
        QVERIFY(!text.contains(u"## "_s));            // rendered, not shown as Markdown
        QTest::keyClick(h->window.get(), Qt::Key_F1); // again: the same window, no second one
        QCOMPARE(h->window->findChildren<QDialog*>(u"frmHandbook"_s).size(), 1);
    }

    void about() {
        h->action("mnuAbout")->trigger();
        QCOMPARE(h->platform.messages.size(), 1);
        const test::ShownMessage m = h->platform.messages[0];
        QCOMPARE(m.title, u"About This Software"_s);
        QCOMPARE(m.buttons, platform::Buttons::Ok);
        const QStringList paragraphs = m.text.split(u"\n\n"_s);
        QCOMPARE(paragraphs.size(), 4);
        QCOMPARE(paragraphs[0], h->window->windowTitle());
        QCOMPARE(paragraphs[0], u"Kelvora High Temp Thermal Pack Performance Model"_s);
        QCOMPARE(paragraphs[1], u"Version "_s + QStringLiteral(KVH_VERSION));
        // The safety advice is in the handbook's results chapter now; the box points there.
        QVERIFY(paragraphs[2].contains(u"KVHiTemp Handbook"_s));
        QVERIFY(!m.text.contains(u"cool down period at"_s));
        QCOMPARE(paragraphs[3],
                 u"This model may also be used to evaluate low temperature performance."_s);
    }

    void exitClosesAtOnce() {
        h->action("mnuExit")->trigger();
        QVERIFY(!h->window->isVisible());
        QVERIFY(h->platform.messages.isEmpty());
    }

    void copyDataCopiesTheShownReport() {
        h->showResults();
        h->platform.clipboardBitmap = QImage(4, 4, QImage::Format_RGB32);
        h->action("mnuCopyData")->trigger();
        QVERIFY(h->platform.messages.isEmpty());
        QCOMPARE(h->platform.clipboardWrites, 1);
        QVERIFY(h->platform.clipboardBitmap.isNull()); // plain text alone

        // The page's texts survive the round trip through the widgets, CR LF included.
        const auto run = std::get<core::RunResult>(core::runModel(h->theCase()));
        const core::Evaluation evaluation = core::evaluate(run, h->theCase().setup);
        const QString expected = QString::fromStdString(
            core::buildReportText(h->theCase(), {evaluation.summary, evaluation.verdict}));
        QCOMPARE(h->platform.clipboardText, expected);
        QCOMPARE(h->window->reportText(), expected);

        // A later setup change reaches the report; the results shown stay as they were.
        h->showPage(0);
        h->option("optTracerType", 0)->click();
        h->action("mnuCopyData")->trigger();
        QVERIFY(h->platform.clipboardText.contains(u"Tracer Type: Tessel II or VTX"_s));
        QVERIFY(h->platform.clipboardText.contains(QString::fromStdString(evaluation.summary)));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
