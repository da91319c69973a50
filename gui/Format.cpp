#include "Format.h"

#include "ui_Format.h"

#include <QFile>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

TfrmFormatInfo* frmFormatInfo = nullptr;
TfrmFormatInfo* frmNes2FormatInfo = nullptr;

namespace {

// The NES 2.0 page is longer than the iNES one: a taller window that scrolls.
constexpr QSize inesSize(480, 448);
constexpr QSize nes2Size(480, 560);

} // namespace

TfrmFormatInfo::TfrmFormatInfo(Page page, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      page(page) {
    setFixedSize(page == Page::ines ? inesSize : nes2Size);
    // Closing this window hides it; only the main window ends the program.
    setAttribute(Qt::WA_QuitOnClose, false);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void TfrmFormatInfo::setVisible(bool visible) {
    // The page is laid out when it is first shown, not at every start.
    if (visible && !ui) {
        ui = std::make_unique<Ui::TfrmFormatInfo>();
        ui->setupUi(this);
        QPalette white = ui->memFormat->palette();
        white.setColor(QPalette::Base, Qt::white);
        white.setColor(QPalette::Text, Qt::black);
        ui->memFormat->setPalette(white);
        if (page == Page::nes2) {
            QFile text(QStringLiteral(":/pages/nes2-format.txt"));
            text.open(QIODevice::ReadOnly);
            ui->memFormat->setPlainText(QString::fromLatin1(text.readAll()));
            ui->memFormat->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
            const int taller = nes2Size.height() - inesSize.height();
            ui->memFormat->resize(ui->memFormat->width(), ui->memFormat->height() + taller);
            ui->btnClose->move(ui->btnClose->x(), ui->btnClose->y() + taller);
        }
        connect(ui->btnClose, &QPushButton::clicked, this, &TfrmFormatInfo::btnCloseClick);
    }
    QWidget::setVisible(visible);
}

TfrmFormatInfo::~TfrmFormatInfo() = default;

void TfrmFormatInfo::btnCloseClick() {
    close();
}
