// The main window: the header grid, the decoded fields, the NES 2.0 area, the
// Check area, and the handlers that load, edit, apply, free and close a
// cartridge image.
#pragma once

#include "Platform.h"
#include "imageDocument.h"

#include <QByteArray>
#include <QMainWindow>
#include <QUndoStack>

#include <functional>
#include <memory>

class QLineEdit;
class QMenu;
class CheckArea;
class TfrmCollection;
class Nes2Area;

namespace Ui {
class TfrmMain;
}

class TfrmMain : public QMainWindow {
    Q_OBJECT

public:
    explicit TfrmMain(platform::Prompts& prompts, QWidget* parent = nullptr);
    ~TfrmMain() override;

    // The loaded cartridge: its image document, which holds the open file
    // (romFile) and the working copy of its header (header) that edits
    // change and Apply writes; and whether a load succeeded.
    std::unique_ptr<ImageDocument> document;
    inesStrm* romFile = nullptr;
    const CartridgeHeader* header = nullptr;
    bool romLoaded = false;

    platform::FileChooser OpenDialog1;

    // Loads `path` (the file's name as the system spells it) as Load Rom
    // does after its dialog: from the command line, a drop, a recent file.
    void LoadFile(const QByteArray& path);

protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void FormCreate();
    bool FormClose();
    void FormDestroy();

    void mnuLoadClick();
    void mnuFreeClick();
    void mnuExitClick();
    void mnuFormatInfoClick();
    void mnuNes2InfoClick();
    void mnuAboutClick();
    void mnuLoadDatabaseClick();
    void mnuClearRecentClick();
    void mnuOpenFolderClick();
    void mnuRevertClick();
    void mnuCopyHeaderClick();
    void btnApplyClick();

    void LoadRom();
    void ReloadRom();
    void FreeRom();
    bool HeaderChanged();

    // Selection handlers: highlight the grid cells a field comes from.
    bool IsNes2() const;
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

    // The number boxes commit what they hold; false when it was refused.
    bool CommitMapper();
    bool CommitPages(bool prg);
    bool CommitFocusedEntry();

    // What became of a save: the window's header is in the file, the file
    // was loaded again, or nothing was written.
    enum class Saved { written, reloaded, notWritten };
    Saved SaveWorkingCopy(bool reloadWhenReadOnly);
    bool SelectFile(const QString& name);

    void bindEvents();
    void ShowCell(int column, int row, const QString& text);
    void Highlight(int left, int top, int right, int bottom);
    void HighlightBytes(std::uint16_t bytes);
    void ShowByte(int index);
    void ShowHeader();
    void ShowFields();
    void BuildAreas();
    Nes2Area& Nes2();
    CheckArea& Check();
    // Makes one named change of the working copy through the document; the
    // window follows it. The refusal, when the header cannot hold it.
    Refusal Change(const QString& step, const std::function<Refusal(ImageDocument&)>& change);
    // Makes the working copy's change since `before` one undoable step.
    void Record(const QString& step, const NesHeader& before);
    // Shows `working` as the working copy, everywhere (undo, redo, revert).
    void ShowWorking(const NesHeader& working);
    void ShowStatus(const QString& text);
    void ShowCheckStatus();
    void BuildEditMenu();
    void FitWindow(bool minimum);
    void Edited();
    QString RefusalText(const ImageDocument& refused) const;
    bool MayReplaceImage();
    void DropDocument();
    void SetFlag(const char* key, bool checked);
    void RememberRecent(const QByteArray& path);
    void FillRecentMenu();
    // The recent files as every running copy last saved them.
    static QList<QByteArray> SavedRecentFiles();
    void SaveRecentFiles();

    friend class HeaderStep;

    std::unique_ptr<Ui::TfrmMain> ui;
    platform::Prompts& prompts;
    platform::ControlEvents events;
    // The file the next load opens, byte for byte.
    QByteArray romPath;
    QString collectionFolder; // the folder the collection window showed last
    std::unique_ptr<Nes2Area> nes2;
    std::unique_ptr<CheckArea> check;
    bool areasPending = false; // the areas are to be built after the first frame
    std::unique_ptr<TfrmCollection> collection;
    // The last files loaded, newest first, byte for byte.
    QList<QByteArray> recentFiles;
    // Every change of the working copy, undoable; a load starts it anew.
    QUndoStack undoStack;
};

// The application's main window, created at start-up.
extern TfrmMain* frmMain;

class TfrmFormatInfo;

// The windows of the application, created in start-up order into frmMain
// and frmFormatInfo, which point at them while this lives.
class ApplicationForms {
public:
    explicit ApplicationForms(platform::Prompts& prompts);
    ~ApplicationForms();
    ApplicationForms(const ApplicationForms&) = delete;
    ApplicationForms& operator=(const ApplicationForms&) = delete;

private:
    std::unique_ptr<TfrmMain> mainForm;
    std::unique_ptr<TfrmFormatInfo> formatForm;
    std::unique_ptr<TfrmFormatInfo> nes2Form;
};
