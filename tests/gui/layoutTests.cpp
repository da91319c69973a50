// The main window's layout, colours, keys and program options: the iNES 1.0
// controls where the fixed-size window had them, a window that fits a small
// screen at 150 %, text readable in a dark scheme, an access key on every
// command, and `tallowick --help` without a display.
#include "GuiHarness.h"

#include <QSignalSpy>

using harness::Window;

namespace {

// Each iNES 1.0 control's place in the central widget of the window as it
// was with fixed positions (default font, 100 %), measured on that build.
struct Place {
    const char* name;
    QRect at;
};
const Place classicGeometry[] = {
    {"Image1", {27, 11, 30, 46}},
    {"sgdHeader", {80, 16, 216, 41}},
    {"Label1", {8, 72, 100, 13}},
    {"txtLabel", {120, 72, 33, 17}},
    {"Label2", {8, 96, 100, 13}},
    {"txtByte3", {120, 96, 33, 17}},
    {"Label4", {8, 120, 110, 13}},
    {"txtMapperNum", {120, 120, 33, 17}},
    {"Label5", {8, 144, 110, 13}},
    {"txtMapperName", {120, 144, 193, 17}},
    {"Label3", {8, 168, 110, 13}},
    {"txtPrgPages", {120, 168, 33, 17}},
    {"txtPrgMem", {160, 168, 153, 17}},
    {"Label7", {8, 192, 110, 13}},
    {"txtChrPages", {120, 192, 33, 17}},
    {"txtChrMem", {160, 192, 153, 17}},
    {"Label9", {8, 216, 110, 13}},
    {"cmbMirroring", {120, 216, 89, 21}},
    {"chk4ScreenMirroring", {184, 72, 129, 17}},
    {"chkSRAM", {184, 96, 113, 17}},
    {"chkTrainer", {184, 120, 121, 17}},
    {"Bevel1", {0, 246, 321, 3}},
    {"btnApply", {108, 256, 97, 25}},
    {"grpNes2", {328, 4, 440, 284}},
    {"frmCheck", {0, 288, 776, 240}},
};
const QSize classicWindow(776, 546);
// How far a control may move or grow from its classic place; a label's
// width is its column's now, and only its text shows.
constexpr int slack = 3;
constexpr int labelSlack = 14;

bool scaled() {
    return qEnvironmentVariable("QT_SCALE_FACTOR", "1") != "1";
}

QPalette darkPalette() {
    QPalette dark;
    for (auto [role, colour] : {std::pair{QPalette::Window, 0x2A2E32},
                                {QPalette::WindowText, 0xFCFCFC},
                                {QPalette::Base, 0x1B1E20},
                                {QPalette::Text, 0xFCFCFC},
                                {QPalette::Button, 0x31363B},
                                {QPalette::ButtonText, 0xFCFCFC}}) {
        dark.setColor(role, QColor(QRgb(colour)));
    }
    return dark;
}

// The built program, run as a user would, with no display at all.
struct Run {
    int status;
    QString out, err;
};
Run runProgram(const QStringList& arguments) {
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        environment.remove(name);
    }
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(TALLOWICK_PROGRAM), arguments);
    if (!program.waitForFinished(10000)) {
        program.kill();
        program.waitForFinished();
        return {-1, {}, {}};
    }
    return {program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1,
            program.readAllStandardOutput(), program.readAllStandardError()};
}

} // namespace

class LayoutTests : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { harness::filterNoise(); }

    void classicPlaces_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("classic");
        for (const Place& place : classicGeometry) {
            QTest::newRow(place.name) << QString(place.name) << place.at;
        }
    }
    // At 100 % with the classic font the window opens at its old size and
    // every iNES 1.0 control is where it was.
    void classicPlaces() {
        if (scaled()) {
            QSKIP("the classic places are those at 100 %");
        }
        QFETCH(QString, name);
        QFETCH(QRect, classic);
        Window w;
        const QSize size = w.form().size();
        QVERIFY2(qAbs(size.width() - classicWindow.width()) <= slack &&
                     qAbs(size.height() - classicWindow.height()) <= slack,
                 qPrintable(QString("window %1x%2").arg(size.width()).arg(size.height())));
        QWidget* control = w.find(name);
        QVERIFY(control != nullptr);
        const QRect at(control->mapTo(w.form().centralWidget(), QPoint()), control->size());
        const int widthSlack = qobject_cast<QLabel*>(control) ? labelSlack : slack;
        QVERIFY2(
            qAbs(at.x() - classic.x()) <= slack && qAbs(at.y() - classic.y()) <= slack &&
                qAbs(at.width() - classic.width()) <= widthSlack &&
                qAbs(at.height() - classic.height()) <= slack,
            qPrintable(
                QString("%1,%2 %3x%4").arg(at.x()).arg(at.y()).arg(at.width()).arg(at.height())));
    }

    // A larger window gives its extra room to the Check area's lists; the
    // iNES 1.0 controls stay where they are.
    void extraRoomGoesToTheLists() {
        Window w;
        auto* findings = w.find("lstFindings");
        const QRect grid = w.grid()->geometry();
        const int before = findings->height();
        w.form().resize(w.form().width() + 200, w.form().height() + 150);
        QTRY_COMPARE(findings->height(), before + 150);
        QCOMPARE(w.grid()->geometry(), grid);
        w.find<QTabWidget>("tabCheck")->setCurrentIndex(2);
        QTRY_VERIFY(w.find("tblDatabase")->height() > before + 100);
    }

    // At 150 % on a 1366x768 screen the window fits the screen's free area
    // and every control can be scrolled into view.
    void smallScreen() {
        if (!scaled()) {
            QSKIP("run with QT_SCALE_FACTOR=1.5 on the small screen (ctest layoutTestsScaled)");
        }
        Window w;
        const QRect free = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY2(free.contains(w.form().frameGeometry()),
                 qPrintable(QString("%1x%2").arg(w.form().width()).arg(w.form().height())));
        auto* scroll = w.find<QScrollArea>("scrWindow");
        int checked = 0;
        for (QWidget* control : scroll->widget()->findChildren<QWidget*>()) {
            const bool leaf =
                qobject_cast<QLabel*>(control) || control->focusPolicy() != Qt::NoFocus;
            if (!leaf || control->objectName().isEmpty() ||
                control->objectName().startsWith("qt_") || !control->isVisible()) {
                continue;
            }
            scroll->ensureWidgetVisible(control, 0, 0);
            const QRect shown(control->mapTo(scroll->viewport(), QPoint()),
                              control->size().boundedTo(scroll->viewport()->size()));
            QVERIFY2(scroll->viewport()->rect().contains(shown), qPrintable(control->objectName()));
            ++checked;
        }
        QVERIFY(checked > 40);
    }

    void contrast_data() {
        QTest::addColumn<QPalette>("palette");
        QTest::newRow("light") << QPalette(QColor(0xEFEFEF));
        QTest::newRow("dark") << darkPalette();
    }
    // The display-only boxes and the verdicts read in a light and a dark scheme.
    void contrast() {
        QFETCH(QPalette, palette);
        const QPalette plain = QApplication::palette();
        QApplication::setPalette(palette);
        {
            Window w;
            for (const char* name :
                 {"txtLabel", "txtByte3", "txtMapperName", "txtPrgMem", "txtChrMem"}) {
                const QPalette shown = w.edit(name)->palette();
                for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Disabled}) {
                    QVERIFY2(platform::contrast(shown.color(group, QPalette::Base),
                                                shown.color(group, QPalette::Text)) >= 4.5,
                             name);
                }
            }
        }
        QApplication::setPalette(plain);
        for (int level = 0; level < 3; ++level) {
            QVERIFY(platform::contrast(platform::verdictColour(level, palette),
                                       palette.color(QPalette::Window)) >= 4.5);
        }
    }

    // Every menu, command, button and label has an access key (a label's
    // leads to its box); F10 opens the menu bar and Ctrl+S presses Apply.
    void keyboard() {
        Window w;
        for (QAction* action : w.form().findChildren<QAction*>()) {
            QVERIFY2(action->isSeparator() || action->objectName().isEmpty() ||
                         action->text().contains('&'),
                     qPrintable(action->text()));
        }
        for (QAbstractButton* button : w.form().findChildren<QAbstractButton*>()) {
            QVERIFY2(button->objectName().startsWith("qt_") || button->text().isEmpty() ||
                         button->text().contains('&'),
                     qPrintable(button->objectName()));
        }
        for (QLabel* label : w.form().findChildren<QLabel*>()) {
            QVERIFY2(!label->text().endsWith(':') ||
                         (label->text().contains('&') && label->buddy() != nullptr),
                     qPrintable(label->objectName()));
        }
        QTest::keyClick(&w.form(), Qt::Key_F10);
        QCOMPARE(w.form().menuBar()->activeAction(), w.find<QMenu>("mnuFile")->menuAction());
        w.find<QMenu>("mnuFile")->close();
        w.form().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w.form()));
        QSignalSpy applied(w.button(), &QPushButton::clicked);
        QTest::keyClick(&w.form(), Qt::Key_S, Qt::ControlModifier); // nothing loaded: disabled
        QCOMPARE(applied.count(), 0);
        testfiles::TempDir dir;
        const std::string path = dir.file("a.nes");
        testfiles::writeFile(path, testfiles::image(testfiles::header(1, 1, 0, 0), 24576));
        w.load(QString::fromStdString(path));
        QTest::keyClick(&w.form(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(applied.count(), 1);
    }

    void programOptions_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::newRow("help") << QStringList{"--help"} << 0 << "Usage: tallowick [options] [FILE]"
                              << "";
        QTest::newRow("version") << QStringList{"--version"} << 0 << "tallowick 1.0.0\n"
                                 << "";
        QTest::newRow("unknown") << QStringList{"--frobnicate", "x.nes"} << 2 << ""
                                 << "tallowick: Unknown option 'frobnicate'.";
    }
    // --help and --version need no display; an unknown option is a usage error.
    void programOptions() {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        const Run run = runProgram(arguments);
        QCOMPARE(run.status, status);
        QVERIFY2(out.isEmpty() ? run.out.isEmpty() : run.out.startsWith(out), qPrintable(run.out));
        QVERIFY2(err.isEmpty() ? run.err.isEmpty() : run.err.startsWith(err), qPrintable(run.err));
    }
};

int main(int argc, char** argv) {
    return harness::runTests<LayoutTests>(argc, argv);
}

#include "layoutTests.moc"
