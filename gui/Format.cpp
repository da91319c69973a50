#include "Format.h"

#include "ui_Format.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

TfrmFormatInfo* frmFormatInfo = nullptr;

TfrmFormatInfo::TfrmFormatInfo(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setFixedSize(480, 448);
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
        QPalette page = ui->memFormat->palette();
        page.setColor(QPalette::Base, Qt::white);
        page.setColor(QPalette::Text, Qt::black);
        ui->memFormat->setPalette(page);
        connect(ui->btnClose, &QPushButton::clicked, this, &TfrmFormatInfo::btnCloseClick);
    }
    QWidget::setVisible(visible);
}

TfrmFormatInfo::~TfrmFormatInfo() = default;

void TfrmFormatInfo::btnCloseClick() {
    close();
}
