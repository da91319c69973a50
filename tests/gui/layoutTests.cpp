// The main window's layout, colours and keys: the iNES 1.0 controls where the
// fixed-size window had them, a window that fits a small screen at 150 %,
// text readable in a dark scheme, F10, label keys and Ctrl+S. (guiTests
// checks the access key of every caption and menu; tests/CMakeLists.txt runs
// `tallowick --help` without a display.)
#include "GuiHarness.h"

#include <QStatusBar>

using harness::Window;

namespace {

// Each iNES 1.0 control's place in the central widget of the window as it
// was with fixed positions (default font, 100 %), measured on that build.
// clang-format off
const std::pair<const char*, QRect> classicPlaces[] = {{"Image1", {27, 11, 30, 46}}, {"sgdHeader", {80, 16, 216, 41}},
    {"Label1", {8, 72, 100, 13}}, {"txtLabel", {120, 72, 33, 17}}, {"Label2", {8, 96, 100, 13}}, {"txtByte3", {120, 96, 33, 17}},
    {"Label4", {8, 120, 110, 13}}, {"txtMapperNum", {120, 120, 33, 17}}, {"Label5", {8, 144, 110, 13}}, {"txtMapperName", {120, 144, 193, 17}},
    {"Label3", {8, 168, 110, 13}}, {"txtPrgPages", {120, 168, 33, 17}}, {"txtPrgMem", {160, 168, 153, 17}}, {"Label7", {8, 192, 110, 13}},
    {"txtChrPages", {120, 192, 33, 17}}, {"txtChrMem", {160, 192, 153, 17}}, {"Label9", {8, 216, 110, 13}}, {"cmbMirroring", {120, 216, 89, 21}},
    {"chk4ScreenMirroring", {184, 72, 129, 17}}, {"chkSRAM", {184, 96, 113, 17}}, {"chkTrainer", {184, 120, 121, 17}}, {"Bevel1", {0, 246, 321, 3}},
    {"btnApply", {108, 256, 97, 25}}, {"grpNes2", {328, 4, 440, 284}}, {"frmCheck", {0, 288, 776, 240}}, {"", {0, 0, 776, 546}}};
// clang-format on

} // namespace

class LayoutTests : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { harness::filterNoise(); }

    // At 100 % with the classic font the window opens at its old size (the
    // last row) with every iNES 1.0 control where it was (a label's width is
    // its column's now); a larger window gives its extra room to the lists.
    // F10 opens the menu bar, a label's key leads to its box, Ctrl+S applies
    // what is being typed too.
    void classicPlacesAndKeys() {
        Window w;
        for (auto [name, classic] : ::classicPlaces) {
            QWidget* control = *name ? w.find(name) : &w.form();
            // The window is taller by its status bar, which the classic one lacked.
            const QRect at(*name ? control->mapTo(w.form().centralWidget(), QPoint()) : QPoint(),
                           control->size() -
                               QSize(0, *name ? 0 : w.form().statusBar()->sizeHint().height()));
            const int widthSlack = qobject_cast<QLabel*>(control) ? 12 : 3;
            QVERIFY2((at.topLeft() - classic.topLeft()).manhattanLength() <= 3 &&
                         qAbs(at.width() - classic.width()) <= widthSlack &&
                         qAbs(at.height() - classic.height()) <= 3,
                     name);
        }
        auto* findings = w.find("lstFindings");
        const int height = findings->height();
        w.form().resize(w.form().width() + 200, w.form().height() + 150);
        QTRY_COMPARE(findings->height(), height + 150);
        QCOMPARE(w.grid()->pos(), QPoint(80, 16));
        QTest::keyClick(&w.form(), Qt::Key_F10);
        QCOMPARE(w.form().menuBar()->activeAction(), w.find<QMenu>("mnuFile")->menuAction());
        w.find<QMenu>("mnuFile")->close();
        w.form().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w.form()));
        testfiles::TempDir dir;
        const std::string path = dir.file("a.nes");
        testfiles::writeFile(path, testfiles::image(testfiles::header(1, 1, 0, 0), 9));
        w.load(QString::fromStdString(path));
        QTest::keyClick(&w.form(), Qt::Key_M, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), w.edit("txtMapperNum"));
        w.edit("txtMapperNum")->selectAll();
        QTest::keyClicks(w.edit("txtMapperNum"), "4"); // typed, the box not left
        QTest::keyClick(&w.form(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(testfiles::readFile(path)[6], 0x40); // mapper 4 written
    }

    // The window fits the screen's free area and every control can be
    // scrolled into view, its caption whole (ctest runs it at 150 % on a
    // 1366x768 screen too): with the desktop's usual font, which keeps the
    // classic 8 points, and with a large one, which the window grows with.
    void smallScreen_data() {
        QTest::addColumn<double>("desktop");
        QTest::addColumn<double>("points");
        QTest::newRow("usual desktop font") << 10.0 << 8.0;
        QTest::newRow("large desktop font") << 16.0 << 16 * 8 / 11.0;
    }
    void smallScreen() {
        QFETCH(double, desktop);
        QFETCH(double, points);
        struct FontKept { // the application's font comes back at the end
            const QFont usual = QApplication::font();
            ~FontKept() { QApplication::setFont(usual); }
        } kept;
        QFont chosen;
        chosen.setPointSizeF(desktop);
        QApplication::setFont(platform::classicFont(chosen));
        QCOMPARE(QApplication::font().pointSizeF(), points);
        Window w;
        QCOMPARE(w.edit("txtMapperNum")->font().pointSizeF(), points);
        QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().contains(
            w.form().frameGeometry()));
        auto* scroll = w.find<QScrollArea>("scrWindow");
        QApplication::processEvents(); // the areas built after the first frame settle
        for (QWidget* control : scroll->widget()->findChildren<QWidget*>()) {
            auto* label = qobject_cast<QLabel*>(control);
            if ((label || control->focusPolicy() != Qt::NoFocus) && control->isVisible() &&
                !control->objectName().startsWith("qt_")) {
                // What must show: the control, or as much of it as its
                // contents need when it is wider than the view.
                const QSize needed = control->size()
                                         .boundedTo(control->sizeHint().expandedTo({1, 1}))
                                         .boundedTo(scroll->viewport()->size());
                const QPoint at = control->mapTo(scroll->widget(), QPoint());
                const auto reveal = [](QScrollBar* bar, int start, int length, int page) {
                    bar->setValue(std::min(start, std::max(bar->value(), start + length - page)));
                };
                reveal(scroll->horizontalScrollBar(), at.x(), needed.width(),
                       scroll->viewport()->width());
                reveal(scroll->verticalScrollBar(), at.y(), needed.height(),
                       scroll->viewport()->height());
                const QRect shown(control->mapTo(scroll->viewport(), QPoint()), needed);
                QVERIFY2(
                    scroll->viewport()->rect().contains(shown) &&
                        (!label || !label->buddy() || label->sizeHint().width() <= label->width()),
                    qPrintable(control->objectName()));
            }
        }
    }

    // The display-only boxes and the verdicts read in a dark scheme (Breeze
    // Dark's button, window and text colours).
    void darkScheme() {
        QPalette dark(QColor(0x31363B), QColor(0x2A2E32));
        for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
            dark.setColor(role, QColor(0xFCFCFC));
        }
        const QPalette plain = QApplication::palette();
        QApplication::setPalette(dark);
        auto w = std::make_unique<Window>();
        QApplication::setPalette(plain);
        for (const char* name :
             {"txtLabel", "txtByte3", "txtMapperName", "txtPrgMem", "txtChrMem"}) {
            const QPalette shown = w->edit(name)->palette();
            for (auto group : {QPalette::Active, QPalette::Disabled}) {
                QVERIFY2(platform::contrast(shown.color(group, QPalette::Base),
                                            shown.color(group, QPalette::Text)) >= 4.5,
                         name);
            }
        }
        for (const QPalette& palette : {dark, plain}) {
            for (int level : {0, 1, 2}) {
                QVERIFY(platform::contrast(platform::verdictColour(level, palette),
                                           palette.color(QPalette::Window)) >= 4.5);
            }
        }
    }
};

int main(int argc, char** argv) {
    return harness::runTests<LayoutTests>(argc, argv);
}

#include "layoutTests.moc"
