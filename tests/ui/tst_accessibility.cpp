// The window as a screen reader and a keyboard user meet it: roles, names and states through
// QAccessible, the verdict announced, Tab order, arrow keys within an option group and the
// mnemonics.

#include "window_harness.h"

#include <QAccessible>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

using namespace kvh;
using namespace Qt::StringLiterals;
using test::WindowHarness;

namespace {

/// Every accessibility event the window sends, as (object name, event type).
QList<std::pair<QString, QAccessible::Event>> g_events;

void recordEvent(QAccessibleEvent* event) {
    if (QObject* o = event->object())
        g_events.append({o->objectName(), event->type()});
}

QAccessibleInterface* iface(QObject* o) {
    QAccessibleInterface* i = QAccessible::queryAccessibleInterface(o);
    if (!i)
        qFatal("no accessible interface for %s", qPrintable(o->objectName()));
    return i;
}

} // namespace

Q_DECLARE_METATYPE(QAccessible::Role)

class TestAccessibility : public QObject {
    Q_OBJECT
    std::unique_ptr<WindowHarness> h;

    QWidget* focused() const { return QApplication::focusWidget(); }
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(focused() ? focused() : h->window.get(), key, modifiers);
        QCoreApplication::processEvents();
    }

private slots:
    void initTestCase() {
        QAccessible::installUpdateHandler(recordEvent);
        QAccessible::setActive(true);
    }
    void cleanupTestCase() { QAccessible::installUpdateHandler(nullptr); }
    void init() {
        h = std::make_unique<WindowHarness>();
        h->window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(h->window.get()));
        g_events.clear();
    }
    void cleanup() { h.reset(); }

    void rolesAndNames_data() {
        QTest::addColumn<QString>("object");
        QTest::addColumn<int>("page");
        QTest::addColumn<QAccessible::Role>("role");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("group"); // the name of the frame it sits in, if any
        using A = QAccessible;
        QTest::newRow("model button")
            << u"optMod_0"_s << 0 << A::RadioButton << u"7640 2\" by 6\" Vacuum  Dewar"_s
            << u"High Temp Thermal Pack Model"_s;
        QTest::newRow("tracer button")
            << u"optTracerType_1"_s << 0 << A::RadioButton << u"Tessel III"_s << u"Tracer Type"_s;
        QTest::newRow("environment button")
            << u"optEnviron_0"_s << 0 << A::RadioButton << u"Air"_s << u"Process Environment"_s;
        QTest::newRow("model frame")
            << u"fraModel"_s << 0 << A::Grouping << u"High Temp Thermal Pack Model"_s << QString();
        QTest::newRow("temperature unit") << u"optTempUnits_0"_s << 1 << A::RadioButton
                                          << u"° Fahrenheit"_s << u"Select Temperature Units"_s;
        QTest::newRow("time unit")
            << u"optTimeUnits_1"_s << 1 << A::RadioButton << u"Hours"_s << u"Select Time Units"_s;
        QTest::newRow("convert button") << u"cmdConvert_1"_s << 1 << A::Button
                                        << u"Convert Hrs. / Mins."_s << u"Select Time Units"_s;
        QTest::newRow("insert button")
            << u"cmdAddRow"_s << 1 << A::Button << u"Insert a Row"_s << QString();
        QTest::newRow("grid") << u"fg1"_s << 1 << A::Table << u"Process profile"_s << QString();
        QTest::newRow("tracer only")
            << u"chkTracerOnly"_s << 2 << A::CheckBox << u"Plot Tracer Only"_s << QString();
        QTest::newRow("verdict box")
            << u"txtPF"_s << 2 << A::EditableText << u"Verdict"_s << QString();
        QTest::newRow("summary box")
            << u"txtMaxResults"_s << 2 << A::EditableText << u"Results summary"_s << QString();
        QTest::newRow("chart") << u"Graf"_s << 2 << A::NoRole << u"Temperature chart"_s
                               << QString();
    }
    void rolesAndNames() {
        QFETCH(QString, object);
        QFETCH(int, page);
        QFETCH(QAccessible::Role, role);
        QFETCH(QString, name);
        QFETCH(QString, group);
        h->showResults();
        h->showPage(page);
        QWidget* w = h->get<QWidget>(object);
        QAccessibleInterface* i = iface(w);
        if (role != QAccessible::NoRole)
            QCOMPARE(i->role(), role);
        QCOMPARE(i->text(QAccessible::Name).trimmed(), name);
        QVERIFY(!i->state().invisible);
        if (!group.isEmpty()) {
            QAccessibleInterface* frame = i->parent();
            QCOMPARE(frame->role(), QAccessible::Grouping);
            QCOMPARE(frame->text(QAccessible::Name), group);
        }
        if (!w->toolTip().isEmpty())
            QCOMPARE(i->text(QAccessible::Description), w->toolTip());
    }

    void tooltipsOnChoicesAndCommands() {
        h->window->chart(); // the results page is built on first need
        for (const char* name : {"optMod_2", "optTracerType_0", "optEnviron_1", "optTempUnits_0",
                                 "optTimeUnits_1", "cmdConvert_0", "cmdConvert_1", "Graf"})
            QVERIFY2(h->get<QWidget>(name)->toolTip().size() > 20, name);
    }

    void checkedStateFollowsTheSetup() {
        h->chooseSetup(2, 1, 0);
        for (int i = 0; i < 6; ++i) {
            const QAccessible::State s = iface(h->option("optMod", i))->state();
            QCOMPARE(bool(s.checkable), true);
            QCOMPARE(bool(s.checked), i == 2);
        }
        QVERIFY(iface(h->option("optTracerType", 1))->state().checked);
        QVERIFY(!iface(h->option("optTracerType", 0))->state().checked);
        // Tessel II leaves no model the new tracer cannot use; the hidden ones stay hidden.
        h->option("optTracerType", 0)->click();
        QVERIFY(iface(h->option("optMod", 4))->state().invisible);
    }

    void verdictAnnounced_data() {
        QTest::addColumn<QByteArray>("dew");
        QTest::addColumn<QString>("description");
        QTest::newRow("pass") << test::kPassingCase << u"PASS: Maximum Internal Temperature"_s;
        QTest::newRow("fail") << test::kFailingCase << u"FAIL: Maximum Internal Temperature"_s;
    }
    void verdictAnnounced() {
        QFETCH(QByteArray, dew);
        QFETCH(QString, description);
        h->showResults(dew);
        QAccessibleInterface* pf = iface(h->get<QWidget>("txtPF"));
        QVERIFY2(pf->text(QAccessible::Description).startsWith(description),
                 qPrintable(pf->text(QAccessible::Description)));
        QCOMPARE(pf->text(QAccessible::Value), description.left(4));
        // Events reach screen readers only where the platform has an accessibility bridge
        // (not offscreen): there the alert and the description change are checked as well.
        if (QAccessible::isActive()) {
            QVERIFY(g_events.contains(std::pair{u"txtPF"_s, QAccessible::Alert}));
            QVERIFY(g_events.contains(std::pair{u"txtPF"_s, QAccessible::DescriptionChanged}));
        }
    }

    void changingLabelsCarryTheirText() {
        // A doubtful cell in the file, then one typed: the notice, the modified state, the
        // doubtful cells and the peak are each read out with their content.
        h->openText(QByteArray(test::kPassingCase).replace("R,60,30", "R,6O,30"));
        const auto name = [this](const char* object) {
            return iface(h->get<QWidget>(object))->text(QAccessible::Name);
        };
        QCOMPARE(name("lblNotice").left(8), u"Notice: "_s);
        QVERIFY2(name("lblNotice").contains(u"Line 9: \"6O\" is read as 6"_s),
                 qPrintable(name("lblNotice")));
        QCOMPARE(name("lblModified"), u"Modified state: no unsaved changes"_s);
        h->showPage(1);
        h->typeInto(3, core::kColTemp, u"6O"_s);
        QCOMPARE(name("lblModified"), u"Modified state: Modified"_s);
        QVERIFY(name("lblFileName").startsWith(u"File name: case.dew"_s));
        h->showPage(2);
        QVERIFY2(name("lblDoubtful").contains(u"Row 3, Temp.: \"6O\" is read as 6"_s),
                 qPrintable(name("lblDoubtful")));
        QVERIFY2(name("lblPeak").startsWith(u"Peak after the end: After the end the inside"_s),
                 qPrintable(name("lblPeak")));
        QCOMPARE(iface(h->get<QWidget>("lblPeak"))->text(QAccessible::Description),
                 h->get<QLabel>("lblPeak")->text());
        QVERIFY(name("lblSetup").startsWith(u"Setup: "_s));
        // Amber PASS (a typed doubtful cell): the verdict's description says why.
        QCOMPARE(h->get<QLineEdit>("txtPF")->palette().color(QPalette::Base), QColor(255, 191, 0));
        QVERIFY2(iface(h->get<QWidget>("txtPF"))
                     ->text(QAccessible::Description)
                     .startsWith(u"PASS, with doubtful cells: "_s),
                 qPrintable(iface(h->get<QWidget>("txtPF"))->text(QAccessible::Description)));
    }

    void tabFollowsThePage() {
        h->chooseSetup(0, 0, 0);
        h->option("optMod", 0)->setFocus();
        QStringList order{focused()->objectName()};
        for (int i = 0; i < 6; ++i) {
            press(Qt::Key_Tab);
            order << focused()->objectName();
        }
        // One stop per group (the selected button), model, tracer, environment, then on.
        QCOMPARE(order.mid(0, 3),
                 (QStringList{u"optMod_0"_s, u"optTracerType_0"_s, u"optEnviron_0"_s}));
    }

    void arrowKeysMoveAndSelectWithinAGroup_data() {
        QTest::addColumn<QString>("group");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("selected");
        QTest::newRow("tracer down") << u"optTracerType"_s << 0 << int(Qt::Key_Down) << 1;
        QTest::newRow("tracer up") << u"optTracerType"_s << 1 << int(Qt::Key_Up) << 0;
        QTest::newRow("environment down") << u"optEnviron"_s << 0 << int(Qt::Key_Down) << 1;
        QTest::newRow("model down") << u"optMod"_s << 0 << int(Qt::Key_Down) << 1;
        QTest::newRow("temperature unit up") << u"optTempUnits"_s << 1 << int(Qt::Key_Up) << 0;
        QTest::newRow("time unit down") << u"optTimeUnits"_s << 0 << int(Qt::Key_Down) << 1;
    }
    void arrowKeysMoveAndSelectWithinAGroup() {
        QFETCH(QString, group);
        QFETCH(int, from);
        QFETCH(int, key);
        QFETCH(int, selected);
        const QByteArray g = group.toLatin1();
        h->showPage(group.startsWith(u"optT"_s) && group.endsWith(u"Units"_s) ? 1 : 0);
        h->option(g.constData(), from)->click();
        h->option(g.constData(), from)->setFocus();
        press(Qt::Key(key));
        QCOMPARE(focused(), h->option(g.constData(), selected));
        // The click a key makes is the same operation as a mouse click: the core knows it.
        const core::SetupState& s = h->theCase().setup;
        const int chosen = group == u"optMod"_s          ? s.model().selectedIndex()
                           : group == u"optTracerType"_s ? s.tracer().selectedIndex()
                           : group == u"optEnviron"_s    ? s.environ().selectedIndex()
                           : group == u"optTempUnits"_s  ? s.tempUnit().selectedIndex()
                                                         : s.timeUnit().selectedIndex();
        QCOMPARE(chosen, selected);
        QVERIFY(h->option(g.constData(), selected)->isChecked());
        QVERIFY(!h->option(g.constData(), from)->isChecked());
    }

    void arrowKeysSkipHiddenModels() {
        h->chooseSetup(3, 0, 0); // Tessel II: 7105 and 7210 are not offered
        h->option("optMod", 3)->setFocus();
        press(Qt::Key_Down);
        QVERIFY(focused() != h->option("optMod", 4) && focused() != h->option("optMod", 5));
    }

    void mnemonics_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("checked"); // a button the key selects, if any
        QTest::newRow("Alt+6: model 7640") << 0 << int(Qt::Key_6) << u"optMod_0"_s << u"optMod_0"_s;
        QTest::newRow("Alt+T: Tessel III")
            << 0 << int(Qt::Key_T) << u"optTracerType_1"_s << u"optTracerType_1"_s;
        QTest::newRow("Alt+L: liquid")
            << 0 << int(Qt::Key_L) << u"optEnviron_1"_s << u"optEnviron_1"_s;
        QTest::newRow("Alt+H: hours")
            << 1 << int(Qt::Key_H) << u"optTimeUnits_1"_s << u"optTimeUnits_1"_s;
        QTest::newRow("Alt+P: the process page") << 0 << int(Qt::Key_P) << QString() << QString();
    }
    void mnemonics() {
        QFETCH(int, page);
        QFETCH(int, key);
        QFETCH(QString, focus);
        QFETCH(QString, checked);
        h->showPage(page);
        h->tab()->setFocus();
        press(Qt::Key(key), Qt::AltModifier);
        if (focus.isEmpty()) {
            QCOMPARE(h->tab()->currentIndex(), 1);
            return;
        }
        QCOMPARE(focused()->objectName(), focus);
        QTRY_VERIFY(h->get<QRadioButton>(checked)->isChecked()); // a mnemonic animates its click
    }

    void mnemonicsAreUniqueOnEachPage() {
        for (int page = 0; page < 3; ++page) {
            h->showPage(page);
            QStringList keys{u"f"_s, u"e"_s, u"a"_s, u"s"_s, u"p"_s, u"g"_s}; // menus and tabs
            QWidget* p = h->tab()->widget(page);
            for (QWidget* w : p->findChildren<QWidget*>()) {
                QString text;
                if (auto* b = qobject_cast<QAbstractButton*>(w))
                    text = b->text();
                else if (auto* g = qobject_cast<QGroupBox*>(w); g && g != p)
                    text = g->title();
                if (text.isEmpty() || !w->isVisibleTo(p))
                    continue;
                const qsizetype at = text.indexOf(QLatin1Char('&'));
                QVERIFY2(at >= 0 && at + 1 < text.size(), qPrintable(w->objectName()));
                const QString key = text.mid(at + 1, 1).toLower();
                QVERIFY2(!keys.contains(key), qPrintable(w->objectName() + u" "_s + key));
                keys << key;
            }
        }
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
