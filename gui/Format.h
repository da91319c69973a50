// The format reference windows: a fixed page about the iNES header layout,
// and one about the NES 2.0 layout in the same style.
#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class TfrmFormatInfo;
}

class TfrmFormatInfo : public QWidget {
    Q_OBJECT

public:
    enum class Page { ines, nes2 };

    explicit TfrmFormatInfo(Page page = Page::ines, QWidget* parent = nullptr);
    ~TfrmFormatInfo() override;

    void setVisible(bool visible) override;

private:
    void btnCloseClick();

    Page page;
    std::unique_ptr<Ui::TfrmFormatInfo> ui;
};

// Created hidden at start-up; the Help menu shows them.
extern TfrmFormatInfo* frmFormatInfo;
extern TfrmFormatInfo* frmNes2FormatInfo;
