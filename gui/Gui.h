// The main window: the header grid, the decoded fields, and the handlers that
// load, edit, apply, free and close a cartridge image.
#pragma once

#include "Platform.h"
#include "inesStrm.h"

#include <QMainWindow>

#include <memory>

class QLineEdit;

namespace Ui {
class TfrmMain;
}

class TfrmMain : public QMainWindow {
    Q_OBJECT

public:
    explicit TfrmMain(platform::Prompts& prompts, QWidget* parent = nullptr);
    ~TfrmMain() override;

    // The loaded cartridge: the open file, the working copy of its header
    // that edits change and Apply writes, and whether a load succeeded.
    std::unique_ptr<inesStrm> romFile;
    std::unique_ptr<CartridgeHeader> header;
    bool romLoaded = false;

    platform::FileChooser OpenDialog1;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void FormClose();
    void FormDestroy();

    void mnuLoadClick();
    void mnuFreeClick();
    void mnuExitClick();
    void mnuFormatInfoClick();
    void mnuAboutClick();
    void btnApplyClick();

    void LoadRom();
    void FreeRom();
    bool HeaderChanged();

    // Selection handlers: highlight the grid cells a field comes from.
    void sgdHeaderEnter();
    void txtLabelClick();
    void txtByte3Click();
    void txtMapperNumClick();
    void txtMapperNameClick();
    void txtPrgPagesClick();
    void txtPrgMemClick();
    void txtChrPagesClick();
    void txtChrMemClick();
    void cmbMirroringClick();
    void chk4ScreenMirroringEnter();
    void chkSRAMEnter();
    void chkTrainerEnter();

    // Edit handlers: change the working copy and the grid.
    void txtMapperNumExit();
    void txtPrgPagesExit();
    void txtChrPagesExit();
    void cmbMirroringSelect();
    void chk4ScreenMirroringClick();
    void chkSRAMClick();
    void chkTrainerClick();

    void bindEvents();
    void SetCells(int column, int row, const QString& text);
    void SetSelection(int left, int top, int right, int bottom);
    void ShowByte(int index);
    void FailLoad(const QString& message);
    void SetFlag(std::uint8_t mask, bool checked);
    void SetPages(const QLineEdit* box, QLineEdit* sizeBox, int kilobytesPerPage, int index);

    std::unique_ptr<Ui::TfrmMain> ui;
    platform::Prompts& prompts;
    platform::ControlEvents events;
};

// The application's main window, created at start-up.
extern TfrmMain* frmMain;

class TfrmFormatInfo;

// The two windows of the application, created in start-up order into
// frmMain and frmFormatInfo, which point at them while this lives.
class ApplicationForms {
public:
    explicit ApplicationForms(platform::Prompts& prompts);
    ~ApplicationForms();
    ApplicationForms(const ApplicationForms&) = delete;
    ApplicationForms& operator=(const ApplicationForms&) = delete;

private:
    std::unique_ptr<TfrmMain> mainForm;
    std::unique_ptr<TfrmFormatInfo> formatForm;
};
