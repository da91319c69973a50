#include "Format.h"

#include "ui_Format.h"

#include <QFile>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

TfrmFormatInfo* frmFormatInfo = nullptr;
TfrmFormatInfo* frmNes2FormatInfo = nullptr;

namespace {

// The NES 2.0 page is longer than the iNES one: a taller window.
constexpr QSize inesSize(480, 448);
constexpr QSize nes2Size(480, 560);

} // namespace

TfrmFormatInfo::TfrmFormatInfo(Page page, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      page(page) {
    // It opens at the size of its page, within the screen, and can be resized.
    const QSize wanted = page == Page::ines ? inesSize : nes2Size;
    // Closing this window hides it; only the main window ends the program.
    setAttribute(Qt::WA_QuitOnClose, false);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect free = screen->availableGeometry().marginsRemoved(QMargins(8, 32, 8, 8));
        resize(wanted.boundedTo(free.size()));
        move(free.center() - rect().center());
    } else {
        resize(wanted);
    }
}

void TfrmFormatInfo::setVisible(bool visible) {
    // The page is laid out when it is first shown, not at every start.
    if (visible && !ui) {
        ui = std::make_unique<Ui::TfrmFormatInfo>();
        const QSize chosen = size(); // the form's own size would replace it
        ui->setupUi(this);
        resize(chosen);
        QPalette white = ui->memFormat->palette();
        white.setColor(QPalette::Base, Qt::white);
        white.setColor(QPalette::Text, Qt::black);
        ui->memFormat->setPalette(white);
        if (page == Page::nes2) {
            QFile text(QStringLiteral(":/pages/nes2-format.txt"));
            text.open(QIODevice::ReadOnly);
            ui->memFormat->setPlainText(QString::fromLatin1(text.readAll()));
        }
        connect(ui->btnClose, &QPushButton::clicked, this, &TfrmFormatInfo::btnCloseClick);
    }
    QWidget::setVisible(visible);
}

TfrmFormatInfo::~TfrmFormatInfo() = default;

void TfrmFormatInfo::btnCloseClick() {
    close();
}
