#include "Format.h"

#include "ui_Format.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

TfrmFormatInfo* frmFormatInfo = nullptr;

TfrmFormatInfo::TfrmFormatInfo(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::TfrmFormatInfo>()) {
    ui->setupUi(this);
    setFixedSize(480, 448);
    // Closing this window hides it; only the main window ends the program.
    setAttribute(Qt::WA_QuitOnClose, false);

    QPalette page = ui->memFormat->palette();
    page.setColor(QPalette::Base, Qt::white);
    page.setColor(QPalette::Text, Qt::black);
    ui->memFormat->setPalette(page);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    connect(ui->btnClose, &QPushButton::clicked, this, &TfrmFormatInfo::btnCloseClick);
}

TfrmFormatInfo::~TfrmFormatInfo() = default;

void TfrmFormatInfo::btnCloseClick() {
    close();
}
