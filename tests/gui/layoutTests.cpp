// The main window's layout, colours, keys and program options: the iNES 1.0
// controls where the fixed-size window had them, a window that fits a small
// screen at 150 %, text readable in a dark scheme, an access key on every
// command, and `tallowick --help` without a display.
#include "GuiHarness.h"

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
};

int main(int argc, char** argv) {
    return harness::runTests<LayoutTests>(argc, argv);
}

#include "layoutTests.moc"
