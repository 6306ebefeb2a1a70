// Recordings in the window: the dialog over the reader, "Profile from Recording" and its undo,
// the "Measured" curve with the comparison on the results page, and the attachment kept per
// case file in the settings (never in the ".dew" file).

#include "window_harness.h"

#include "ui/recording/recording_actions.h"
#include "ui/recording/recording_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QSettings>
#include <QTableWidget>
#include <QTimer>

#include <functional>

using namespace kvh;
using namespace Qt::StringLiterals;
using test::WindowHarness;

namespace {

/// An oven that ramps from 25 to 60 °C in 30 minutes and holds; the logger inside follows.
const QByteArray kTrace = "Oven run 7\nTime (min);Oven (\xC2\xB0"
                          "C);Logger (\xC2\xB0"
                          "C)\n"
                          "0;25,0;25,0\n15;42,5;25,5\n30;60,0;28,0\n45;60,0;35,0\n60;60,0;41,0\n"
                          "75;25,0;44,0\n90;25,0;40,0\n";
const QByteArray kAmbiguous = "Date,Oven (C),Logger (C)\n03/04/2026 10:00,100,20\n"
                              "03/04/2026 10:01,110,21\n03/04/2026 10:02,120,22\n";

/// Runs `act` on the recording dialog once it is up, then presses `button`.
void onDialog(const std::function<void(ui::RecordingDialog*)>& act,
              QDialogButtonBox::StandardButton button = QDialogButtonBox::Ok) {
    QTimer::singleShot(0, [act, button] {
        auto* dialog = qobject_cast<ui::RecordingDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            qFatal("the recording dialog did not open");
        act(dialog);
        auto* box = dialog->findChild<QDialogButtonBox*>(u"cmdRecordingButtons"_s);
        QTest::mouseClick(box->button(button), Qt::LeftButton);
    });
}

} // namespace

class TestRecording : public QObject {
    Q_OBJECT
    std::unique_ptr<WindowHarness> h;

    QString trace(const QByteArray& bytes = kTrace) const {
        return h->writeCase(u"trace.csv"_s, bytes);
    }
    void attach(int loggerKey = Qt::Key_Down) {
        h->platform.openAnswers.enqueue(trace());
        onDialog([loggerKey](ui::RecordingDialog* d) {
            auto* logger = d->findChild<QComboBox*>(u"cboLoggerColumn"_s);
            QTest::keyClick(logger, static_cast<Qt::Key>(loggerKey)); // already the second
        });
        h->action("mnuAttachMeasured")->trigger();
    }

private slots:
    void init() { h = std::make_unique<WindowHarness>(); }
    void cleanup() { h.reset(); }

    void profileFromRecordingIsOneUndoStep() {
        h->openText(test::kPassingCase);
        const QStringList before = h->shownState(true);
        h->platform.openAnswers.enqueue(trace());
        onDialog([](ui::RecordingDialog* d) {
            QCOMPARE(d->findChild<QTableWidget*>(u"tblRecordingPreview"_s)->rowCount(), 7);
            auto* tolerance = d->findChild<QDoubleSpinBox*>(u"txtTolerance"_s);
            QCOMPARE(tolerance->value(), 1.0);
        });
        h->action("mnuProfileFromRecording")->trigger();
        const core::ProfileTable& t = h->theCase().profile;
        QCOMPARE(QString::fromStdString(t.cell(1, core::kColStep)), u"Start Temp"_s);
        QCOMPARE(QString::fromStdString(t.cell(2, core::kColTemp)), u"60"_s);
        QCOMPARE(QString::fromStdString(t.cell(2, core::kColTime)), u"30"_s);
        QCOMPARE(QString::fromStdString(t.cell(3, core::kColStep)), u"Dwell at Temp"_s);
        QCOMPARE(h->shown(2, core::kColTemp), u"60"_s);
        h->action("mnuUndo")->trigger();
        QCOMPARE(h->shownState(true), before);
        h->action("mnuRedo")->trigger();
        QCOMPARE(h->shown(3, core::kColStep), u"Dwell at Temp"_s);
    }

    void cancelledDialogChangesNothing() {
        h->openText(test::kPassingCase);
        const core::Case before = h->theCase();
        h->platform.openAnswers.enqueue(trace());
        onDialog([](ui::RecordingDialog*) {}, QDialogButtonBox::Cancel);
        h->action("mnuProfileFromRecording")->trigger();
        QVERIFY(h->theCase() == before);
        QVERIFY(!h->action("mnuUndo")->isEnabled());
    }

    void dialogAsksTheDateOrderTheDataDoesNotSettle() {
        h->platform.openAnswers.enqueue(trace(kAmbiguous));
        onDialog([](ui::RecordingDialog* d) {
            auto* found = d->findChild<QPlainTextEdit*>(u"txtRecordingFound"_s);
            QVERIFY(found->toPlainText().contains(u"do not show whether the day or the month"_s));
            auto* ok = d->findChild<QDialogButtonBox*>(u"cmdRecordingButtons"_s)
                           ->button(QDialogButtonBox::Ok);
            QVERIFY(!ok->isEnabled());
            auto* order = d->findChild<QComboBox*>(u"cboDateOrder"_s);
            QVERIFY(order->isEnabled());
            QTest::keyClick(order, Qt::Key_Down); // day before month
            QVERIFY(ok->isEnabled());
            QVERIFY(found->toPlainText().contains(u"day before month"_s));
            QCOMPARE(d->findChild<QTableWidget*>(u"tblRecordingPreview"_s)->rowCount(), 3);
        });
        h->action("mnuProfileFromRecording")->trigger();
        QCOMPARE(QString::fromStdString(h->theCase().profile.cell(1, core::kColTemp)), u"100"_s);
    }

    void unreadableRecordingIsToldAndChangesNothing() {
        h->openText(test::kPassingCase);
        const core::Case before = h->theCase();
        h->platform.openAnswers.enqueue(h->dir.filePath(u"missing.csv"_s));
        h->action("mnuAttachMeasured")->trigger();
        QCOMPARE(h->platform.messages.size(), 1);
        QVERIFY(h->platform.messages[0].text.contains(u"cannot be read"_s));
        QVERIFY(h->theCase() == before);
        QVERIFY(!h->action("mnuDetachMeasured")->isEnabled());
    }

    void measuredIsTheThirdCurveWithTheComparison() {
        h->showResults();
        const QString summary = h->txtMaxResults();
        h->action("mnuCopyData")->trigger();
        const QString report = h->platform.clipboardText;
        attach();
        const QList<QPointF> measured = h->window->chart().measuredPoints();
        QCOMPARE(measured.size(), 91);
        QCOMPARE(measured.first(), QPointF(1, 25));
        QCOMPARE(measured[30], QPointF(31, 28));
        const QString lines = h->get<QLabel>("lblMeasured")->text();
        QVERIFY(lines.startsWith(u"Measured maximum: 44.0 \u00b0C at minute 75"_s));
        QVERIFY(lines.contains(u"Root-mean-square difference"_s));
        // The specified texts and the report stay as they were.
        QCOMPARE(h->txtMaxResults(), summary);
        h->action("mnuCopyData")->trigger();
        QCOMPARE(h->platform.clipboardText, report);
        QCOMPARE(h->window->recordingActions().measuredLines().size(), 5);

        h->action("mnuDetachMeasured")->trigger();
        QVERIFY(h->window->chart().measuredPoints().isEmpty());
        QVERIFY(h->get<QLabel>("lblMeasured")->isHidden());
        QVERIFY(h->window->recordingActions().measuredLines().isEmpty());
    }

    void attachmentIsRememberedForTheCaseFileNotInIt() {
        QSettings settings(h->dir.filePath(u"settings.ini"_s), QSettings::IniFormat);
        h->window->setSettings(&settings);
        h->showResults();
        const QString casePath = h->dir.filePath(u"case.dew"_s);
        const QByteArray dew = test::fileBytes(casePath);
        attach();
        QVERIFY(!h->window->chart().measuredPoints().isEmpty());
        QCOMPARE(test::fileBytes(casePath), dew);
        // Another case has no recording; the first brings its own back.
        h->openText(test::kFailingCase, u"other.dew"_s);
        QVERIFY(!h->window->recordingActions().attachment().has_value());
        QVERIFY(h->window->chart().measuredPoints().isEmpty());
        h->platform.openAnswers.enqueue(casePath);
        h->action("mnuOpen")->trigger();
        QVERIFY(h->window->recordingActions().attachment().has_value());
        QCOMPARE(h->window->recordingActions().attachment()->column, 1);
        QVERIFY(!h->window->chart().measuredPoints().isEmpty());
    }
};

QTEST_MAIN(TestRecording)
#include "tst_recording.moc"
