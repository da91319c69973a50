#include "Gui.h"

#include "CheckArea.h"
#include "Format.h"
#include "Nes2Area.h"
#include "ui_Gui.h"

#include <QApplication>
#include <QCheckBox>
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
#include <QStyle>
#include <QTabBar>
#include <QTableWidget>
#include <QTimer>
#include <QUrl>

#include <algorithm>

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
const QString nameNotExact = QStringLiteral(
    "The file's name holds bytes that are not valid characters, and another file in\nits "
    "folder reads the same, so the file cannot be told apart. Rename it and try again.");
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
const QString readOnlyFile = QStringLiteral(
    "The file cannot be written because it is read-only or\nis in use by another application.");
const QString writeFailed = QStringLiteral(
    "Writing the header to the file failed.\nThe file may be on a full disk or a faulty medium, "
    "\nand its header may not hold your changes.");
const QString changedOnDisk = QStringLiteral(
    "Another program has changed the header of this file since it was loaded.\n\nOverwrite it "
    "with the header shown here, or reload the file and lose your changes?");
const QString saveQuestion = QStringLiteral("Changes have been made.  save them?");
const QString trainerAdded = QStringLiteral(
    "A 512-byte trainer will not actually be inserted at offsets 16-527.\nYou need to use "
    "HexEdit or the Pellmoor to add one.");
const QString trainerRemoved = QStringLiteral(
    "The 512-byte trainer at offsets 16-527 will not acually be removed from the file.\nYou "
    "need to use HexEdit or the Pellmoor to remove it.");

// Why a write did not happen, for each refusal that needs no question.
struct WriteRefusal {
    WriteResult result;
    QString message;
};
const WriteRefusal writeRefusals[] = {
    {WriteResult::readOnly, readOnlyFile},
    {WriteResult::moved, QStringLiteral("The file was moved, replaced or deleted since it was "
                                        "loaded.\nNothing was written.")},
    {WriteResult::truncated, QStringLiteral("The file is shorter than 16 bytes now: another "
                                            "program has cut it short.\nNothing was written.")},
    {WriteResult::notInes, QStringLiteral("The file no longer starts with an iNES header "
                                          "(\"NES\" and $1A):\nanother program has changed it. "
                                          "Nothing was written.")},
    {WriteResult::failed, writeFailed},
};

// Room left around the window for a window manager's frame and title.
constexpr QMargins windowFrameAllowance(8, 32, 8, 8);

constexpr int gridColumnWidths[] = {41, 19, 19, 19, 19, 9, 19, 19, 19, 19};
constexpr int gridRowHeights[] = {18, 17};

constexpr std::uint8_t mirroringBit = 0x01;
constexpr std::uint8_t sramBit = 0x02;
constexpr std::uint8_t trainerBit = 0x04;
constexpr std::uint8_t fourScreenBit = 0x08;

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

TfrmMain::TfrmMain(platform::Prompts& prompts, QWidget* parent)
    : QMainWindow(parent), OpenDialog1(prompts, QStringLiteral("Load Rom"),
                                       QStringLiteral("iNES Rom Files (*.nes *.NES)")),
      ui(std::make_unique<Ui::TfrmMain>()), prompts(prompts), events(prompts) {
    ui->setupUi(this);
    ui->mnuFile->insertSeparator(ui->mnuExit)->setObjectName(QStringLiteral("N1"));
    ui->mnuHelp->insertSeparator(ui->mnuAbout)->setObjectName(QStringLiteral("N2"));
    ui->mnuLoad->setShortcut(QKeySequence::Open);
    ui->mnuExit->setShortcut(QKeySequence::Quit);
    ui->mnuFormatInfo->setShortcut(QKeySequence::HelpContents);

    QTableWidget* grid = ui->sgdHeader;
    for (int column = 0; column < grid->columnCount(); ++column) {
        // A grid line is drawn inside each cell here, beside it classically.
        grid->setColumnWidth(column, gridColumnWidths[column] + 1);
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
        grid->setRowHeight(row, gridRowHeights[row] + 1);
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

    // The window opens at the size its controls ask for (776x546 with the
    // classic font), within the screen's free area and room for the window
    // manager's frame; what does not fit then scrolls. It is laid out once
    // first, which settles the sizes of the controls not shown yet.
    ui->contentsLayout->activate();
    QSize wanted = ui->scrContents->sizeHint() + QSize(0, menuBar()->sizeHint().height());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect free = screen->availableGeometry().marginsRemoved(windowFrameAllowance);
        if (wanted.height() > free.height()) { // room for the scroll bar too
            wanted.rwidth() += style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        }
        resize(wanted.boundedTo(free.size()));
        move(free.center() - rect().center());
    } else {
        resize(wanted);
    }
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

    bindEvents();
    for (const QVariant& path : QSettings().value(recentFilesKey).toList()) {
        recentFiles << path.toByteArray();
    }
    FillRecentMenu();
    FormCreate();
}

TfrmMain::~TfrmMain() {
    FormDestroy();
}

// The NES 2.0 and Check areas are built just after the window's first paint,
// or at once when something needs them before.
void TfrmMain::paintEvent(QPaintEvent* event) {
    QMainWindow::paintEvent(event);
    if (nes2 == nullptr) {
        QTimer::singleShot(0, this, [this] { BuildAreas(); });
    }
}

void TfrmMain::BuildAreas() {
    if (nes2 != nullptr) {
        return;
    }
    nes2 =
        std::make_unique<Nes2Area>(ui->grpNes2, events, prompts,
                                   Nes2Area::Host{[this] { return NesHeader(*header); },
                                                  [this](const NesHeader& h) { Edit(h); },
                                                  [this](std::uint16_t b) { HighlightBytes(b); }});
    check = std::make_unique<CheckArea>(ui->frmCheck, events, prompts,
                                        CheckArea::Host{[this] { return NesHeader(*header); },
                                                        [this](const NesHeader& h) { Edit(h); }});
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

Nes2Area& TfrmMain::Nes2() {
    BuildAreas();
    return *nes2;
}

CheckArea& TfrmMain::Check() {
    BuildAreas();
    return *check;
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

void TfrmMain::ShowByte(int index) {
    CellOf(ui->sgdHeader, index)->setText(platform::hexText((*header)[index], 2));
}

void TfrmMain::ShowHeader(const NesHeader& shown) {
    for (int index = 0; index < 16; ++index) {
        CellOf(ui->sgdHeader, index)->setText(platform::hexText(shown.bytes()[index], 2));
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
        prompts.message(nameNotExact, errorCaption, platform::Buttons::ok);
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

void TfrmMain::FailLoad(const QString& message) {
    prompts.message(message, errorCaption, platform::Buttons::ok);
    // Blank the window too: it must not go on showing a file it no longer holds.
    FreeRom();
}

void TfrmMain::LoadRom() {
    romFile.reset();
    romFile = std::make_unique<inesStrm>(romPath.constData());
    if (!romFile->isOpen()) {
        FailLoad(romFile->openFailure() == OpenFailure::notRegularFile ? notRegularFile
                                                                       : streamNotOpened);
        return;
    }
    if (!romFile->isValid()) {
        FailLoad(notInes);
        return;
    }
    header = std::make_unique<CartridgeHeader>();
    romFile->readHeader(header.get());

    // In an NES 2.0 header bytes 8-15 are data, not garbage.
    if (!romFile->isNes2() && !romFile->isHeaderClean()) {
        if (romFile->isWritable()) {
            CartridgeHeader cleaned = *header;
            std::fill(cleaned.begin() + 8, cleaned.end(), 0);
            if (romFile->writeHeader(cleaned) == WriteResult::written) {
                *header = cleaned;
                prompts.message(garbageRemoved, noteCaption, platform::Buttons::ok);
            } else {
                prompts.message(garbageNotWritten, errorCaption, platform::Buttons::ok);
            }
        } else {
            prompts.message(garbageKept, noteCaption, platform::Buttons::ok);
        }
    }

    const NesHeader loaded(*header);
    ShowHeader(loaded);
    ShowFields();
    platform::showText(ui->txtMapperName, QString::fromStdString(mapperNameOf(loaded.mapper())));
    ui->btnApply->setEnabled(true);
    HighlightBytes(0);

    setWindowTitle(QString());
    setWindowFilePath(QFile::decodeName(romPath));
    setWindowModified(false);
    RememberRecent(romPath);
    Check().start(romFile->duplicate(), loaded);
}

// Every field from the working copy, enabled; the mapper name is the one
// loaded and stays.
void TfrmMain::ShowFields() {
    const NesHeader shown(*header);
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

// An edit from the NES 2.0 area or the header database: the working copy,
// the grid and every field follow.
void TfrmMain::Edit(const NesHeader& edited) {
    *header = edited.bytes();
    ShowHeader(edited);
    ShowFields();
    Edited();
}

// After every edit: the areas that show the whole header follow it.
void TfrmMain::Edited() {
    const NesHeader working(*header);
    Nes2().show(&working);
    Check().headerEdited();
    setWindowModified(HeaderChanged());
}

// ---------------------------------------------------------------- recent files

// The recent files live in memory and reach the settings when the window
// goes: writing settings syncs them to disk, too slow for every load.
void TfrmMain::RememberRecent(const QByteArray& path) {
    recentFiles.removeAll(path);
    recentFiles.prepend(path);
    while (recentFiles.size() > recentFileCount) {
        recentFiles.removeLast();
    }
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
    HighlightBytes(NesHeader(*header).isNes2() ? bytes({6, 7, 8}) : bytes({6, 7}));
}
void TfrmMain::txtMapperNameClick() {
    txtMapperNumClick();
}
void TfrmMain::txtPrgPagesClick() {
    HighlightBytes(NesHeader(*header).isNes2() ? bytes({4, 9}) : bytes({4}));
}
void TfrmMain::txtPrgMemClick() {
    txtPrgPagesClick();
}
void TfrmMain::txtChrPagesClick() {
    HighlightBytes(NesHeader(*header).isNes2() ? bytes({5, 9}) : bytes({5}));
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
    NesHeader edited(*header);
    const platform::Number typed =
        platform::parseInteger(ui->txtMapperNum->text(), 0, edited.maxMapper());
    if (!typed.ok) {
        prompts.showError(typed.error);
        return false;
    }
    edited.setMapper(typed.value);
    CartridgeHeader& bytes = *header;
    bytes = edited.bytes();
    // iNES 1.0 wants bits 0-3 of byte 7 zero; in NES 2.0 they are the console type.
    if (!edited.isNes2()) {
        bytes[7] &= 0xF0;
    }
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
    NesHeader edited(*header);
    const platform::Number typed = platform::parseInteger(box->text(), 0, edited.maxPages());
    if (!typed.ok) {
        prompts.showError(typed.error);
        return false;
    }
    if (prg) {
        edited.setPrgRomPages(typed.value);
        ui->txtPrgMem->setText(SizeText(edited.prgRomBytes()));
    } else {
        edited.setChrRomPages(typed.value);
        ui->txtChrMem->setText(SizeText(edited.chrRomBytes()));
    }
    *header = edited.bytes();
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
    SetFlag(mirroringBit, ui->cmbMirroring->currentIndex() != 0);
}

void TfrmMain::SetFlag(std::uint8_t mask, bool set) {
    std::uint8_t& byte6 = (*header)[6];
    byte6 = static_cast<std::uint8_t>(set ? (byte6 | mask) : (byte6 & ~mask));
    ShowByte(6);
    Edited();
}

void TfrmMain::chk4ScreenMirroringClick() {
    HighlightBytes(bytes({6}));
    SetFlag(fourScreenBit, ui->chk4ScreenMirroring->isChecked());
}

void TfrmMain::chkSRAMClick() {
    HighlightBytes(bytes({6}));
    SetFlag(sramBit, ui->chkSRAM->isChecked());
}

void TfrmMain::chkTrainerClick() {
    HighlightBytes(bytes({6}));
    const bool checked = ui->chkTrainer->isChecked();
    prompts.message(checked ? trainerAdded : trainerRemoved, noteCaption, platform::Buttons::ok);
    SetFlag(trainerBit, checked);
}

// ---------------------------------------------------------------- apply, free, close

void TfrmMain::btnApplyClick() {
    if (romFile != nullptr) {
        SaveWorkingCopy(true);
    }
}

TfrmMain::Saved TfrmMain::SaveWorkingCopy(bool reloadWhenReadOnly) {
    WriteResult result = romFile->writeHeader(*header);
    if (result == WriteResult::changedOnDisk) {
        // Never write silently over a header the user has not seen.
        switch (prompts.message(changedOnDisk, QStringLiteral("Header Changed"),
                                platform::Buttons::overwriteReload)) {
        case platform::Answer::overwrite:
            result = romFile->writeHeader(*header, true);
            break;
        case platform::Answer::reload:
            FreeRom();
            LoadRom();
            return Saved::reloaded;
        default:
            return Saved::notWritten;
        }
    }
    if (result == WriteResult::written) {
        setWindowModified(false);
        return Saved::written;
    }
    const auto refusal =
        std::find_if(std::begin(writeRefusals), std::end(writeRefusals),
                     [result](const WriteRefusal& r) { return r.result == result; });
    prompts.message(refusal->message, errorCaption, platform::Buttons::ok);
    if (result == WriteResult::readOnly && reloadWhenReadOnly) {
        FreeRom();
        LoadRom();
        return Saved::reloaded;
    }
    return Saved::notWritten;
}

void TfrmMain::mnuFreeClick() {
    FreeRom();
    romLoaded = false;
}

void TfrmMain::FreeRom() {
    romFile.reset();
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
    return *header != romFile->base();
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
// header was saved. A save that failed keeps the window and its edits.
bool TfrmMain::FormClose() {
    if (romLoaded && romFile != nullptr && header != nullptr && HeaderChanged() &&
        romFile->isWritable()) {
        if (prompts.message(saveQuestion, QStringLiteral("Save Changes"),
                            platform::Buttons::yesNo) == platform::Answer::yes &&
            SaveWorkingCopy(false) == Saved::notWritten) {
            return false;
        }
    }
    header.reset();
    return true;
}

void TfrmMain::FormDestroy() {
    header.reset();
    QVariantList recent;
    for (const QByteArray& path : std::as_const(recentFiles)) {
        recent << path;
    }
    QSettings().setValue(recentFilesKey, recent);
}
