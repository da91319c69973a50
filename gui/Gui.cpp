#include "Gui.h"

#include "CheckArea.h"
#include "Collection.h"
#include "Format.h"
#include "Nes2Area.h"
#include "nesNames.h"
#include "ui_Gui.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTableWidget>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <utility>

TfrmMain* frmMain = nullptr;

ApplicationForms::ApplicationForms(platform::Prompts& prompts)
    : mainForm(std::make_unique<TfrmMain>(prompts)) {
    frmMain = mainForm.get();
    formatForm = std::make_unique<TfrmFormatInfo>(TfrmFormatInfo::Page::ines);
    frmFormatInfo = formatForm.get();
    nes2Form = std::make_unique<TfrmFormatInfo>(TfrmFormatInfo::Page::nes2);
    frmNes2FormatInfo = nes2Form.get();
}

ApplicationForms::~ApplicationForms() {
    frmNes2FormatInfo = nullptr;
    frmFormatInfo = nullptr;
    frmMain = nullptr;
}

// The pictures are XPM text compiled in: nothing to find or decode at start.
#include "images/cartridge.xpm"
#include "images/tallowick-icon.xpm"

namespace {

const QString errorCaption = QStringLiteral("Error");
const QString noteCaption = QStringLiteral("Note");

const QString streamNotOpened = QStringLiteral(
    "The stream could not be opened.  Check that no other\napplications are using the file "
    "and try again.");
const QString notRegularFile =
    QStringLiteral("The file is not a regular file: it is a folder, a device, a FIFO or a "
                   "socket.\nOnly a cartridge image file can be loaded.");
const QString notInes = QStringLiteral("The file is not a valid iNES cart image.");
const QString garbageRemoved = QStringLiteral(
    "Some garbage bytes were found and removed from bytes 8-15 of the header.\nYou may need to "
    "adjust the mapper for this game to work properly.");
const QString garbageKept = QStringLiteral(
    "Some garbage bytes were found in bytes 8-15 of the header.\nThey could not be removed "
    "because the file is read-only\nor in use by another application.");
const QString garbageNotWritten = QStringLiteral(
    "Some garbage bytes were found in bytes 8-15 of the header,\nbut writing the cleaned header "
    "to the file failed.\nThe file may be on a full disk or a faulty medium.\nThe window shows "
    "the header as the file holds it.");
const QString saveQuestion = QStringLiteral("Changes have been made.  save them?");
const QString trainerAdded = QStringLiteral(
    "A 512-byte trainer will not actually be inserted at offsets 16-527.\nYou need to use "
    "HexEdit or the Pellmoor to add one.");
const QString trainerRemoved = QStringLiteral(
    "The 512-byte trainer at offsets 16-527 will not acually be removed from the file.\nYou "
    "need to use HexEdit or the Pellmoor to remove it.");

// Room left around the window for a window manager's frame and title.
constexpr QMargins windowFrameAllowance(8, 32, 8, 8);

constexpr int gridColumnWidths[] = {41, 19, 19, 19, 19, 9, 19, 19, 19, 19};
constexpr int gridRowHeights[] = {18, 17};

constexpr int recentFileCount = 8;
const QString recentFilesKey = QStringLiteral("recentFiles");

// The header bytes of a field, as a mask: bit i for byte i.
constexpr std::uint16_t bytes(std::initializer_list<int> indexes) {
    std::uint16_t mask = 0;
    for (int index : indexes) {
        mask = static_cast<std::uint16_t>(mask | (1u << index));
    }
    return mask;
}

// "32k (32768 bytes)"; a size that is not whole KiB shows its fraction.
QString SizeText(std::uint64_t size) {
    if (size == UINT64_MAX) {
        return QStringLiteral("too large to hold");
    }
    const QString kilobytes = size % 1024 == 0 ? QString::number(size / 1024)
                                               : QString::number(double(size) / 1024.0, 'f', 3);
    return kilobytes + "k (" + QString::number(size) + " bytes)";
}

} // namespace

// One change of the working copy as the undo stack keeps it: the header
// before and after, and the change's name ("Set mapper to 4").
class HeaderStep : public QUndoCommand {
public:
    HeaderStep(TfrmMain& window, const NesHeader& before, const NesHeader& after,
               const QString& name)
        : QUndoCommand(name), window(window), before(before), after(after) {}
    void undo() override { window.ShowWorking(before); }
    void redo() override {
        // The change is made already when the step is recorded.
        if (!std::exchange(recorded, false)) {
            window.ShowWorking(after);
        }
    }

private:
    TfrmMain& window;
    const NesHeader before, after;
    bool recorded = true;
};

TfrmMain::TfrmMain(platform::Prompts& prompts, QWidget* parent)
    : QMainWindow(parent), OpenDialog1(prompts, QStringLiteral("Load Rom"),
                                       QStringLiteral("iNES Rom Files (*.nes *.NES)")),
      ui(std::make_unique<Ui::TfrmMain>()), prompts(prompts), events(prompts) {
    ui->setupUi(this);
    ui->mnuFile->insertSeparator(ui->mnuExit)->setObjectName(QStringLiteral("N1"));
    ui->mnuHelp->insertSeparator(ui->mnuAbout)->setObjectName(QStringLiteral("N2"));
    ui->mnuLoad->setShortcut(QKeySequence::Open);
    ui->mnuOpenFolder->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    ui->mnuExit->setShortcut(QKeySequence::Quit);
    ui->mnuFormatInfo->setShortcut(QKeySequence::HelpContents);

    // The iNES 1.0 area keeps the classic places; a larger font grows them.
    const double growth = platform::fontGrowth(font());
    if (growth > 1) {
        platform::growLayout(ui->inesLayout, growth);
    }
    const auto grown = [growth](int pixels) { return int(std::lround(pixels * growth)); };
    QTableWidget* grid = ui->sgdHeader;
    for (int column = 0; column < grid->columnCount(); ++column) {
        // A grid line is drawn inside each cell here, beside it classically.
        grid->setColumnWidth(column, grown(gridColumnWidths[column]) + 1);
        for (int row = 0; row < grid->rowCount(); ++row) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignCenter);
            if (column == 0) {
                // The fixed column: labels that are never selected.
                item->setFlags(Qt::ItemIsEnabled);
                item->setBackground(palette().button());
            } else {
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            }
            grid->setItem(row, column, item);
        }
    }
    for (int row = 0; row < grid->rowCount(); ++row) {
        grid->setRowHeight(row, grown(gridRowHeights[row]) + 1);
    }
    // The highlight must stay visible while another control has the focus.
    QPalette gridPalette = grid->palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText}) {
        gridPalette.setColor(QPalette::Inactive, role, gridPalette.color(QPalette::Active, role));
    }
    grid->setPalette(gridPalette);

    for (QLineEdit* edit :
         {ui->txtLabel, ui->txtByte3, ui->txtMapperName, ui->txtPrgMem, ui->txtChrMem}) {
        platform::markDisplayOnly(edit);
    }

    ui->Image1->setPixmap(QPixmap(cartridge).scaled(ui->Image1->size(), Qt::KeepAspectRatio,
                                                    Qt::SmoothTransformation));
    setWindowIcon(QIcon(QPixmap(tallowick_icon)));
    setAcceptDrops(true);

    // What was written, or why not, and what a load found.
    statusBar()->setObjectName(QStringLiteral("stbStatus"));
    FitWindow(false);
    // F10 opens the menu bar; Ctrl+S applies the changes, as Apply does.
    auto* menuKey = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(menuKey, &QShortcut::activated, this,
            [this] { menuBar()->setActiveAction(ui->mnuFile->menuAction()); });
    auto* applyKey = new QShortcut(QKeySequence::Save, this);
    connect(applyKey, &QShortcut::activated, this, [this] {
        // As a click does: the box being typed in is left (what it holds
        // taken or refused) before the header is written.
        if (ui->btnApply->isEnabled()) {
            ui->btnApply->setFocus(Qt::ShortcutFocusReason);
            ui->btnApply->click();
        }
    });

    BuildEditMenu();
    bindEvents();
    recentFiles = SavedRecentFiles();
    FillRecentMenu();
    FormCreate();
}

TfrmMain::~TfrmMain() {
    FormDestroy();
}

// The NES 2.0 and Check areas are built just after the window's first frame,
// or at once when something needs them before. A timer set while painting
// would fire in the same pass of the event loop as the frame's flush; the
// areas wait for the pass after it, so that the frame is on screen first.
void TfrmMain::paintEvent(QPaintEvent* event) {
    QMainWindow::paintEvent(event);
    if (nes2 == nullptr && !areasPending) {
        areasPending = true;
        QMetaObject::invokeMethod(
            this, [this] { QTimer::singleShot(0, this, [this] { BuildAreas(); }); },
            Qt::QueuedConnection);
    }
}

void TfrmMain::BuildAreas() {
    if (nes2 != nullptr) {
        return;
    }
    const AreaHost host{
        [this] { return document.get(); },
        [this](const QString& step, const std::function<Refusal(ImageDocument&)>& change) {
            return Change(step, change);
        },
        [this](std::uint16_t b) { HighlightBytes(b); }, [this] { ShowCheckStatus(); }};
    nes2 = std::make_unique<Nes2Area>(ui->grpNes2, events, prompts, host);
    check = std::make_unique<CheckArea>(ui->frmCheck, events, prompts, host);
    // The places kept for the areas fit them with the classic font; a larger
    // one needs more, and the window grows to show it where the screen allows.
    ui->grpNes2->setMinimumSize(
        ui->grpNes2->minimumSize().expandedTo(ui->grpNes2->minimumSizeHint()));
    FitWindow(true);
    // Tab goes on from Apply through the NES 2.0 area, then the Check area.
    QList<QWidget*> order = platform::tabChain(ui->sgdHeader, ui->centralwidget, ui->grpNes2);
    order.removeIf([this](const QWidget* w) { return ui->frmCheck->isAncestorOf(w); });
    order += platform::tabChain(nes2->firstControl(), ui->grpNes2);
    order += platform::tabChain(check->firstControl(), ui->frmCheck);
    for (qsizetype i = 1; i < order.size(); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
    events.run([this] { check->loadRememberedDatabase(); });
}

// The window at the size its controls ask for (776x546 with the classic
// font), within the screen's free area and room for the window manager's
// frame; what does not fit then scrolls. It is laid out first, which settles
// the sizes of the controls not shown yet. Only ever grows the window; with
// `minimum`, only as far as the controls' minimum sizes need.
void TfrmMain::FitWindow(bool minimum) {
    ui->contentsLayout->activate();
    QSize wanted = (minimum ? ui->scrContents->minimumSizeHint() : ui->scrContents->sizeHint()) +
                   QSize(0, menuBar()->sizeHint().height() + statusBar()->sizeHint().height());
    QRect free(QPoint(), wanted);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        free = screen->availableGeometry().marginsRemoved(windowFrameAllowance);
        if (wanted.height() > free.height()) { // room for the scroll bar too
            wanted.rwidth() += style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        }
    }
    const QSize size =
        wanted.boundedTo(free.size()).expandedTo(isVisible() ? this->size() : QSize());
    if (size != this->size()) {
        resize(size);
        move(free.center() - rect().center());
    }
}

Nes2Area& TfrmMain::Nes2() {
    BuildAreas();
    return *nes2;
}

CheckArea& TfrmMain::Check() {
    BuildAreas();
    return *check;
}

// Edit: Undo, Redo, Revert to File, and copying the header's bytes (Ctrl+C
// on the grid).
void TfrmMain::BuildEditMenu() {
    auto* edit = new QMenu(QStringLiteral("&Edit"), this);
    edit->setObjectName(QStringLiteral("mnuEdit"));
    menuBar()->insertMenu(ui->mnuHelp->menuAction(), edit);
    QAction* undo = undoStack.createUndoAction(edit, QStringLiteral("&Undo"));
    undo->setObjectName(QStringLiteral("mnuUndo"));
    undo->setShortcut(QKeySequence::Undo);
    QAction* redo = undoStack.createRedoAction(edit, QStringLiteral("&Redo"));
    redo->setObjectName(QStringLiteral("mnuRedo"));
    redo->setShortcut(QKeySequence::Redo);
    edit->addActions({undo, redo});
    edit->addSeparator();
    auto* revert = edit->addAction(QStringLiteral("Re&vert to File"));
    revert->setObjectName(QStringLiteral("mnuRevert"));
    auto* copy = edit->addAction(QStringLiteral("&Copy Header Bytes"));
    copy->setObjectName(QStringLiteral("mnuCopyHeader"));
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    ui->sgdHeader->addAction(copy);
}

void TfrmMain::bindEvents() {
    auto handler = [this](void (TfrmMain::*method)()) {
        return [this, method] { (this->*method)(); };
    };
    // Signals of Qt's own: the handler runs through the error guard.
    auto bind = [&](auto* sender, auto signal, void (TfrmMain::*method)()) {
        connect(sender, signal, this, [this, run = handler(method)] { events.run(run); });
    };
    bind(ui->mnuLoad, &QAction::triggered, &TfrmMain::mnuLoadClick);
    bind(ui->mnuFree, &QAction::triggered, &TfrmMain::mnuFreeClick);
    bind(ui->mnuExit, &QAction::triggered, &TfrmMain::mnuExitClick);
    bind(ui->mnuFormatInfo, &QAction::triggered, &TfrmMain::mnuFormatInfoClick);
    bind(ui->mnuNes2Info, &QAction::triggered, &TfrmMain::mnuNes2InfoClick);
    bind(ui->mnuAbout, &QAction::triggered, &TfrmMain::mnuAboutClick);
    bind(ui->mnuClearRecent, &QAction::triggered, &TfrmMain::mnuClearRecentClick);
    bind(ui->mnuLoadDatabase, &QAction::triggered, &TfrmMain::mnuLoadDatabaseClick);
    bind(ui->mnuOpenFolder, &QAction::triggered, &TfrmMain::mnuOpenFolderClick);
    bind(findChild<QAction*>(QStringLiteral("mnuRevert")), &QAction::triggered,
         &TfrmMain::mnuRevertClick);
    bind(findChild<QAction*>(QStringLiteral("mnuCopyHeader")), &QAction::triggered,
         &TfrmMain::mnuCopyHeaderClick);
    // Another running copy may have changed the list since.
    connect(ui->mnuRecent, &QMenu::aboutToShow, this, [this] {
        recentFiles = SavedRecentFiles();
        FillRecentMenu();
    });
    bind(ui->btnApply, &QPushButton::clicked, &TfrmMain::btnApplyClick);

    // Fields bound to the same handler for their click and their entry.
    auto clickAndEnter = [&](QWidget* control, void (TfrmMain::*method)()) {
        events.onClick(control, handler(method));
        events.onEnter(control, handler(method));
    };
    events.onEnter(ui->sgdHeader, handler(&TfrmMain::sgdHeaderEnter));
    clickAndEnter(ui->txtLabel, &TfrmMain::txtLabelClick);
    clickAndEnter(ui->txtByte3, &TfrmMain::txtByte3Click);
    clickAndEnter(ui->txtMapperNum, &TfrmMain::txtMapperNumClick);
    clickAndEnter(ui->txtMapperName, &TfrmMain::txtMapperNameClick);
    clickAndEnter(ui->txtPrgPages, &TfrmMain::txtPrgPagesClick);
    clickAndEnter(ui->txtPrgMem, &TfrmMain::txtPrgMemClick);
    clickAndEnter(ui->txtChrPages, &TfrmMain::txtChrPagesClick);
    clickAndEnter(ui->txtChrMem, &TfrmMain::txtChrMemClick);
    events.onEnter(ui->cmbMirroring, handler(&TfrmMain::cmbMirroringClick));
    events.onExit(ui->txtMapperNum, handler(&TfrmMain::txtMapperNumExit));
    events.onExit(ui->txtPrgPages, handler(&TfrmMain::txtPrgPagesExit));
    events.onExit(ui->txtChrPages, handler(&TfrmMain::txtChrPagesExit));
    events.onEnter(ui->chk4ScreenMirroring, handler(&TfrmMain::chk4ScreenMirroringEnter));
    events.onEnter(ui->chkSRAM, handler(&TfrmMain::chkSRAMEnter));
    events.onEnter(ui->chkTrainer, handler(&TfrmMain::chkTrainerEnter));

    // Only a user's choice or toggle runs these; setting them from code does not.
    connect(ui->cmbMirroring, &QComboBox::activated, this, [this] {
        events.run([this] { cmbMirroringClick(); });
        events.run([this] { cmbMirroringSelect(); });
    });
    bind(ui->chk4ScreenMirroring, &QCheckBox::clicked, &TfrmMain::chk4ScreenMirroringClick);
    bind(ui->chkSRAM, &QCheckBox::clicked, &TfrmMain::chkSRAMClick);
    bind(ui->chkTrainer, &QCheckBox::clicked, &TfrmMain::chkTrainerClick);
}

// ---------------------------------------------------------------- start-up

void TfrmMain::FormCreate() {
    ShowCell(0, 0, QStringLiteral("0x0000"));
    ShowCell(0, 1, QStringLiteral("0x0008"));
    ShowCell(5, 0, QStringLiteral("-"));
    ShowCell(5, 1, QStringLiteral("-"));
    romLoaded = false;
}

void TfrmMain::mnuAboutClick() {
    prompts.message(QStringLiteral("Tallowick " TALLOWICK_VERSION
                                   "\n\nViews, checks and edits the 16-byte header of iNES and "
                                   "NES 2.0 cartridge images (.nes files).\nIt never changes a "
                                   "byte behind the header."),
                    QStringLiteral("About"), platform::Buttons::ok);
}

void TfrmMain::mnuExitClick() {
    close();
}

static void ShowPage(TfrmFormatInfo* page) {
    if (page != nullptr) {
        page->setVisible(true);
        page->raise();
        page->activateWindow();
    }
}

void TfrmMain::mnuFormatInfoClick() {
    ShowPage(frmFormatInfo);
}

void TfrmMain::mnuNes2InfoClick() {
    ShowPage(frmNes2FormatInfo);
}

void TfrmMain::mnuLoadDatabaseClick() {
    Check().mnuLoadDatabaseClick();
}

// The collection window lists the folder; a row opened there is loaded
// here, with the usual question when this image has unapplied edits.
void TfrmMain::mnuOpenFolderClick() {
    QString chosen = collectionFolder;
    if (!prompts.chooseFolder(QStringLiteral("Open Folder"), chosen)) {
        return;
    }
    const std::optional<QByteArray> folder = platform::systemPath(chosen);
    if (!folder) {
        prompts.message(platform::nameNotExact, errorCaption, platform::Buttons::ok);
        return;
    }
    collectionFolder = chosen;
    if (collection == nullptr) {
        collection = std::make_unique<TfrmCollection>(
            prompts, [this] { return Check().currentDatabase(); }, this);
        collection->onOpenImage = [this](const QByteArray& path) {
            activateWindow();
            raise();
            LoadFile(path);
        };
    }
    collection->OpenFolder(*folder);
    collection->show();
    collection->raise();
    collection->activateWindow();
}

// ---------------------------------------------------------------- the grid

void TfrmMain::ShowCell(int column, int row, const QString& text) {
    ui->sgdHeader->item(row, column)->setText(text);
}

// Header byte i lives in row i / 8; columns 1-4 hold k = i % 8 of 0-3 and
// columns 6-9 hold 4-7, beside the separator column 5.
static QTableWidgetItem* CellOf(QTableWidget* grid, int index) {
    const int k = index % 8;
    return grid->item(index / 8, k < 4 ? k + 1 : k + 2);
}

// A byte the user changed since the file was loaded or written is bold
// until it is written.
void TfrmMain::ShowByte(int index) {
    QTableWidgetItem* cell = CellOf(ui->sgdHeader, index);
    cell->setText(platform::hexText((*header)[index], 2));
    QFont font = cell->font();
    font.setBold(document != nullptr && (*header)[index] != document->base().bytes()[index]);
    cell->setFont(font);
}

void TfrmMain::ShowHeader() {
    for (int index = 0; index < 16; ++index) {
        ShowByte(index);
    }
}

// No byte highlighted when `bytes` is 0.
void TfrmMain::HighlightBytes(std::uint16_t bytes) {
    QTableWidget* grid = ui->sgdHeader;
    grid->clearSelection();
    for (int index = 0; index < 16; ++index) {
        if ((bytes >> index) & 1) {
            CellOf(grid, index)->setSelected(true);
        }
    }
}

// ---------------------------------------------------------------- loading

void TfrmMain::mnuLoadClick() {
    if (!OpenDialog1.choose() || !SelectFile(OpenDialog1.fileName())) {
        return;
    }
    LoadRom();
    romLoaded = romFile != nullptr;
}

// The file the dialog named, byte for byte; false when it cannot be told.
bool TfrmMain::SelectFile(const QString& name) {
    const std::optional<QByteArray> path = platform::systemPath(name);
    if (!path) {
        prompts.message(platform::nameNotExact, errorCaption, platform::Buttons::ok);
        return false;
    }
    romPath = *path;
    return true;
}

void TfrmMain::LoadFile(const QByteArray& path) {
    romPath = path;
    OpenDialog1.setFileName(QFile::decodeName(path));
    events.run([this] {
        LoadRom();
        romLoaded = romFile != nullptr;
    });
}

// The document goes, and with it the open file and the working copy.
void TfrmMain::DropDocument() {
    romFile = nullptr;
    header = nullptr;
    document.reset();
}

// What the window says of a file it cannot use: the reason follows on a
// second line where there is one to give.
QString TfrmMain::RefusalText(const ImageDocument& refused) const {
    const QString reason =
        platform::sentenceStart(QString::fromStdString(printable(refused.problemText())));
    struct Refusal {
        OpenProblem problem;
        QString text;
    };
    const Refusal refusals[] = {
        {OpenProblem::missing,
         "The file does not exist:\n" + QString::fromStdString(printable(romPath.toStdString()))},
        {OpenProblem::cannotOpen, streamNotOpened},
        {OpenProblem::notRegularFile, notRegularFile},
        {OpenProblem::tooShort, notInes + '\n' + reason},
        {OpenProblem::notInes, notInes + '\n' + reason}};
    return std::find_if(std::begin(refusals), std::end(refusals),
                        [&refused](const Refusal& r) { return r.problem == refused.problem(); })
        ->text;
}

// The open image again, as the file holds it now: what a load of another
// file left in romPath is not the open image.
void TfrmMain::ReloadRom() {
    romPath = QByteArray::fromStdString(document->path());
    FreeRom();
    LoadRom();
}

// Before another image replaces this one: false when the user cancels, or
// when the edits were to be saved and could not be.
bool TfrmMain::MayReplaceImage() {
    if (document == nullptr || !HeaderChanged() || !document->writable()) {
        return true;
    }
    switch (prompts.message(saveQuestion, QStringLiteral("Save Changes"),
                            platform::Buttons::yesNoCancel)) {
    case platform::Answer::yes:
        return SaveWorkingCopy(false) != Saved::notWritten;
    case platform::Answer::no:
        return true;
    default:
        return false;
    }
}

// The new file is opened and checked first: when it cannot be used, the
// image that was open stays, with its edits.
void TfrmMain::LoadRom() {
    auto opened = std::make_unique<ImageDocument>(romPath.toStdString());
    if (!opened->usable()) {
        prompts.message(RefusalText(*opened), errorCaption, platform::Buttons::ok);
        return;
    }
    const bool wasModified = document != nullptr && HeaderChanged();
    if (!MayReplaceImage()) {
        return;
    }
    // Saving may have written the very file being opened.
    if (wasModified && !opened->reload()) {
        prompts.message(RefusalText(*opened), errorCaption, platform::Buttons::ok);
        return;
    }
    DropDocument();
    document = std::move(opened);
    romFile = document->stream();
    header = &document->workingBytes();

    // Garbage in bytes 8-15 is cleaned at once; NES 2.0 data and iNES 1.0
    // extension data are not garbage.
    if (const std::optional<WriteResult> cleaned = document->clean()) {
        const bool removed = *cleaned == WriteResult::written,
                   kept = *cleaned == WriteResult::readOnly;
        prompts.message(removed ? garbageRemoved
                        : kept  ? garbageKept
                                : garbageNotWritten,
                        removed || kept ? noteCaption : errorCaption, platform::Buttons::ok);
    }

    const NesHeader& loaded = document->working();
    ShowHeader();
    ShowFields();
    platform::showText(ui->txtMapperName,
                       QString::fromStdString(catalogueMapperName(loaded.mapper())));
    ui->btnApply->setEnabled(true);
    HighlightBytes(0);

    setWindowTitle(QString());
    setWindowFilePath(QFile::decodeName(romPath));
    setWindowModified(false);
    RememberRecent(romPath);
    undoStack.clear();
    ShowCheckStatus();
    Check().start();
}

// Every field from the working copy, enabled; the mapper name is the one
// loaded and stays.
void TfrmMain::ShowFields() {
    const NesHeader& shown = document->working();
    auto show = [](QLineEdit* edit, const QString& text) {
        edit->setEnabled(true);
        edit->setText(text);
    };
    const CartridgeHeader& bytes = shown.bytes();
    // The label as read, up to a NUL.
    const char* label = reinterpret_cast<const char*>(bytes.data());
    show(ui->txtLabel, QString::fromLatin1(label, int(std::find(label, label + 3, '\0') - label)));
    show(ui->txtByte3, "0x" + platform::hexText(bytes[3], 2));
    show(ui->txtMapperNum, QString::number(shown.mapper()));
    ui->txtMapperName->setEnabled(true);
    // In the exponent form no page count holds the size: the box stays empty.
    auto pages = [](int count) { return count < 0 ? QString() : QString::number(count); };
    show(ui->txtPrgPages, pages(shown.prgRomPages()));
    show(ui->txtPrgMem, SizeText(shown.prgRomBytes()));
    show(ui->txtChrPages, pages(shown.chrRomPages()));
    show(ui->txtChrMem, SizeText(shown.chrRomBytes()));
    ui->cmbMirroring->setEnabled(true);
    ui->cmbMirroring->setCurrentIndex(shown.verticalMirroring() ? 1 : 0);
    auto tick = [](QCheckBox* box, bool checked) {
        box->setEnabled(true);
        box->setChecked(checked);
    };
    tick(ui->chk4ScreenMirroring, shown.fourScreen());
    tick(ui->chkSRAM, shown.battery());
    tick(ui->chkTrainer, shown.trainer());
    Nes2().show(&shown);
}

Refusal TfrmMain::Change(const QString& step,
                         const std::function<Refusal(ImageDocument&)>& change) {
    if (document == nullptr) {
        return std::nullopt;
    }
    const NesHeader before = document->working();
    if (Refusal refusal = change(*document)) {
        return refusal;
    }
    Record(step, before);
    ShowWorking(document->working());
    return std::nullopt;
}

void TfrmMain::Record(const QString& step, const NesHeader& before) {
    if (document != nullptr && document->working() != before) {
        undoStack.push(new HeaderStep(*this, before, document->working(), step));
    }
}

void TfrmMain::ShowWorking(const NesHeader& working) {
    if (document == nullptr) {
        return;
    }
    document->replace(working);
    ShowHeader();
    ShowFields();
    Edited();
}

void TfrmMain::ShowStatus(const QString& text) {
    statusBar()->showMessage(text);
}

// The format and the findings' count, at the load and again once the whole
// file was read (a second header or a title changes them).
void TfrmMain::ShowCheckStatus() {
    const std::vector<Finding> found = document->findings();
    ShowStatus(QString::fromLatin1(document->working().format().name) + ": " +
               (found.empty() ? QStringLiteral("all well") : QString::fromStdString(tally(found))));
}

void TfrmMain::mnuRevertClick() {
    if (document != nullptr && HeaderChanged()) {
        Change(QStringLiteral("Revert to File"), [](ImageDocument& image) {
            image.revert();
            return Refusal();
        });
    }
}

// The working copy's 16 bytes as hex, as the grid shows them.
void TfrmMain::mnuCopyHeaderClick() {
    if (header != nullptr) {
        QGuiApplication::clipboard()->setText(platform::headerHex(*header));
    }
}

// After every edit: the areas that show the whole header follow it.
void TfrmMain::Edited() {
    Nes2().show(&document->working());
    Check().headerEdited();
    setWindowModified(HeaderChanged());
}

// ---------------------------------------------------------------- recent files

// The recent files reach the settings the moment they change, merged with
// what another running copy saved meanwhile (read, update, write).
QList<QByteArray> TfrmMain::SavedRecentFiles() {
    QList<QByteArray> saved;
    for (const QVariant& path : QSettings().value(recentFilesKey).toList()) {
        saved << path.toByteArray();
    }
    return saved;
}

void TfrmMain::SaveRecentFiles() {
    QVariantList recent;
    for (const QByteArray& path : std::as_const(recentFiles)) {
        recent << path;
    }
    QSettings settings;
    settings.setValue(recentFilesKey, recent);
    settings.sync();
}

void TfrmMain::RememberRecent(const QByteArray& path) {
    recentFiles = SavedRecentFiles();
    recentFiles.removeAll(path);
    recentFiles.prepend(path);
    while (recentFiles.size() > recentFileCount) {
        recentFiles.removeLast();
    }
    SaveRecentFiles();
    FillRecentMenu();
}

void TfrmMain::FillRecentMenu() {
    QMenu* menu = ui->mnuRecent;
    for (QAction* action : menu->actions()) {
        if (action != ui->mnuClearRecent) {
            menu->removeAction(action);
            action->deleteLater();
        }
    }
    int number = 0;
    for (const QByteArray& path : std::as_const(recentFiles)) {
        const QString name = QFile::decodeName(path);
        auto* open = new QAction(QString("&%1 %2").arg(++number).arg(name.section('/', -1)), menu);
        open->setToolTip(name);
        connect(open, &QAction::triggered, this, [this, path] { LoadFile(path); });
        menu->insertAction(ui->mnuClearRecent, open);
    }
    if (!recentFiles.isEmpty()) {
        menu->insertSeparator(ui->mnuClearRecent);
    }
    ui->mnuClearRecent->setEnabled(!recentFiles.isEmpty());
}

void TfrmMain::mnuClearRecentClick() {
    recentFiles.clear();
    SaveRecentFiles();
    FillRecentMenu();
}

void TfrmMain::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.constFirst().isLocalFile()) {
        event->acceptProposedAction();
    }
}

void TfrmMain::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.constFirst().isLocalFile()) {
        return;
    }
    event->acceptProposedAction();
    // The URL keeps bytes that are not UTF-8 percent-encoded: decoding them
    // gives the name byte for byte.
    LoadFile(
        QByteArray::fromPercentEncoding(urls.constFirst().path(QUrl::FullyEncoded).toLatin1()));
}

// ---------------------------------------------------------------- selection

bool TfrmMain::IsNes2() const {
    return document != nullptr && document->working().isNes2();
}

void TfrmMain::sgdHeaderEnter() {
    HighlightBytes(0);
}
void TfrmMain::txtLabelClick() {
    HighlightBytes(bytes({0, 1, 2}));
}
void TfrmMain::txtByte3Click() {
    HighlightBytes(bytes({3}));
}
// In NES 2.0 the mapper's bits 8-11 sit in byte 8 and the ROM sizes' high
// bits in byte 9.
void TfrmMain::txtMapperNumClick() {
    HighlightBytes(IsNes2() ? bytes({6, 7, 8}) : bytes({6, 7}));
}
void TfrmMain::txtMapperNameClick() {
    txtMapperNumClick();
}
void TfrmMain::txtPrgPagesClick() {
    HighlightBytes(IsNes2() ? bytes({4, 9}) : bytes({4}));
}
void TfrmMain::txtPrgMemClick() {
    txtPrgPagesClick();
}
void TfrmMain::txtChrPagesClick() {
    HighlightBytes(IsNes2() ? bytes({5, 9}) : bytes({5}));
}
void TfrmMain::txtChrMemClick() {
    txtChrPagesClick();
}
void TfrmMain::cmbMirroringClick() {
    HighlightBytes(bytes({6}));
}
void TfrmMain::chk4ScreenMirroringEnter() {
    HighlightBytes(bytes({6}));
}
void TfrmMain::chkSRAMEnter() {
    HighlightBytes(bytes({6}));
}
void TfrmMain::chkTrainerEnter() {
    HighlightBytes(bytes({6}));
}

// ---------------------------------------------------------------- editing

void TfrmMain::txtMapperNumExit() {
    CommitMapper();
}

bool TfrmMain::CommitMapper() {
    const platform::Number typed =
        platform::parseInteger(ui->txtMapperNum->text(), 0, document->working().maxMapper());
    if (!typed.ok) {
        prompts.showError(typed.error);
        return false;
    }
    // Only the mapper's bits change: byte 7's console-type bits stay.
    const NesHeader before = document->working();
    if (document->set(*findField("mapper"), std::uint64_t(typed.value))) {
        return false;
    }
    Record(stepName(*findField("mapper"), document->working()), before);
    for (int index : {6, 7, 8}) {
        ShowByte(index);
    }
    Edited();
    return true;
}

void TfrmMain::txtPrgPagesExit() {
    CommitPages(true);
}

void TfrmMain::txtChrPagesExit() {
    CommitPages(false);
}

// A page count typed into the PRG or CHR box: its size beside it, the count
// in the header.
bool TfrmMain::CommitPages(bool prg) {
    QLineEdit* box = prg ? ui->txtPrgPages : ui->txtChrPages;
    // An empty box, or one holding only blanks, is ignored.
    if (box->text().trimmed().isEmpty()) {
        return true;
    }
    const platform::Number typed =
        platform::parseInteger(box->text(), 0, document->working().maxPages());
    if (!typed.ok) {
        prompts.showError(typed.error);
        return false;
    }
    const NesHeader before = document->working();
    if (document->setPages(prg, typed.value)) {
        return false;
    }
    Record(stepName(*findField(prg ? "prgRomBytes" : "chrRomBytes"), document->working()), before);
    const NesHeader& edited = document->working();
    (prg ? ui->txtPrgMem : ui->txtChrMem)
        ->setText(SizeText(prg ? edited.prgRomBytes() : edited.chrRomBytes()));
    ShowByte(prg ? 4 : 5);
    ShowByte(9);
    Edited();
    return true;
}

// Leaving a box commits it; a close that does not move the focus must commit
// the box being typed in just the same.
bool TfrmMain::CommitFocusedEntry() {
    QWidget* focused = focusWidget();
    if (header == nullptr || focused == nullptr || !focused->isEnabled()) {
        return true;
    }
    if (focused == ui->txtMapperNum) {
        return CommitMapper();
    }
    if (focused == ui->txtPrgPages || focused == ui->txtChrPages) {
        return CommitPages(focused == ui->txtPrgPages);
    }
    return Nes2().commit(focused);
}

void TfrmMain::cmbMirroringSelect() {
    SetFlag("mirroring", ui->cmbMirroring->currentIndex() != 0);
}

void TfrmMain::SetFlag(const char* key, bool set) {
    const NesHeader before = document->working();
    const HeaderField& field = *findField(key);
    document->set(field, set ? 1 : 0);
    Record(stepName(field, document->working()), before);
    ShowByte(6);
    Edited();
}

void TfrmMain::chk4ScreenMirroringClick() {
    HighlightBytes(bytes({6}));
    SetFlag("fourScreen", ui->chk4ScreenMirroring->isChecked());
}

void TfrmMain::chkSRAMClick() {
    HighlightBytes(bytes({6}));
    SetFlag("battery", ui->chkSRAM->isChecked());
}

void TfrmMain::chkTrainerClick() {
    HighlightBytes(bytes({6}));
    const bool checked = ui->chkTrainer->isChecked();
    prompts.message(checked ? trainerAdded : trainerRemoved, noteCaption, platform::Buttons::ok);
    SetFlag("trainer", checked);
}

// ---------------------------------------------------------------- apply, free, close

void TfrmMain::btnApplyClick() {
    if (romFile != nullptr) {
        SaveWorkingCopy(true);
    }
}

TfrmMain::Saved TfrmMain::SaveWorkingCopy(bool reloadWhenReadOnly) {
    WriteResult result = document->save();
    if (result == WriteResult::changedOnDisk) {
        // Never write silently over a header the user has not seen.
        switch (prompts.message(QString::fromUtf8(wordsFor(result).message),
                                QStringLiteral("Header Changed"),
                                platform::Buttons::overwriteReload)) {
        case platform::Answer::overwrite:
            result = document->save(true);
            break;
        case platform::Answer::reload:
            ReloadRom();
            return Saved::reloaded;
        default:
            return Saved::notWritten;
        }
    }
    // The open image's name: a load being asked about has left another in romPath.
    const QString name = QString::fromStdString(printable(document->path())).section('/', -1);
    if (result == WriteResult::written) {
        undoStack.setClean();
        ShowHeader(); // nothing is marked unwritten now
        setWindowModified(false);
        ShowStatus("Wrote the header to " + name);
        return Saved::written;
    }
    ShowStatus("The header was not written to " + name + ": " + wordsFor(result).brief);
    // The system's reason, when it gave one, follows the window's words.
    const QString reason = QString::fromStdString(document->writeError());
    prompts.message(
        QString::fromUtf8(wordsFor(result).message) +
            (reason.isEmpty() || result != WriteResult::failed ? QString() : "\n(" + reason + ")"),
        errorCaption, platform::Buttons::ok);
    if (result == WriteResult::readOnly && reloadWhenReadOnly) {
        ReloadRom();
        return Saved::reloaded;
    }
    return Saved::notWritten;
}

void TfrmMain::mnuFreeClick() {
    FreeRom();
    romLoaded = false;
}

void TfrmMain::FreeRom() {
    DropDocument();
    undoStack.clear();
    statusBar()->clearMessage();
    // A focused box disabled here runs no exit handler: its text is not judged.
    for (QLineEdit* edit : {ui->txtLabel, ui->txtByte3, ui->txtMapperNum, ui->txtMapperName,
                            ui->txtPrgPages, ui->txtPrgMem, ui->txtChrPages, ui->txtChrMem}) {
        edit->setText(QString());
        edit->setEnabled(false);
    }
    ui->txtMapperName->setToolTip(QString());
    ui->cmbMirroring->setCurrentIndex(-1);
    ui->cmbMirroring->setEnabled(false);
    for (QCheckBox* box : {ui->chk4ScreenMirroring, ui->chkSRAM, ui->chkTrainer}) {
        box->setChecked(false);
        box->setEnabled(false);
    }
    ui->btnApply->setEnabled(false);
    Nes2().show(nullptr);
    Check().clear();
    for (int row = 0; row < 2; ++row) {
        for (int column : {1, 2, 3, 4, 6, 7, 8, 9}) {
            ShowCell(column, row, QString());
        }
    }
    HighlightBytes(0);
    setWindowFilePath(QString());
    setWindowModified(false);
    setWindowTitle(QStringLiteral("Tallowick"));
}

// Changed means the user changed the working copy since this window last
// read or wrote the file, whatever the file holds now.
bool TfrmMain::HeaderChanged() {
    return document->modified();
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    bool close = true;
    events.run([this, &close] { close = CommitFocusedEntry() && FormClose(); });
    if (close) {
        event->accept();
    } else {
        event->ignore();
    }
}

// True when the window may close: nothing to save, the user said No, or the
// header was saved. A save that failed keeps the window and its edits; a reload
// ("Header Changed", Reload) keeps it open on the file as reloaded.
bool TfrmMain::FormClose() {
    if (romLoaded && document != nullptr && header != nullptr && HeaderChanged() &&
        document->writable()) {
        if (prompts.message(saveQuestion, QStringLiteral("Save Changes"),
                            platform::Buttons::yesNo) == platform::Answer::yes &&
            SaveWorkingCopy(false) != Saved::written) {
            return false;
        }
    }
    header = nullptr;
    return true;
}

void TfrmMain::FormDestroy() {
    header = nullptr;
}
