// The format reference window: a fixed page about the iNES header layout.
#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class TfrmFormatInfo;
}

class TfrmFormatInfo : public QWidget {
    Q_OBJECT

public:
    explicit TfrmFormatInfo(QWidget* parent = nullptr);
    ~TfrmFormatInfo() override;

    void setVisible(bool visible) override;

private:
    void btnCloseClick();

    std::unique_ptr<Ui::TfrmFormatInfo> ui;
};

// Created hidden at start-up; the Help menu shows it.
extern TfrmFormatInfo* frmFormatInfo;
