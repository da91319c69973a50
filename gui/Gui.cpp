#include "Gui.h"

#include "Format.h"
#include "ui_Gui.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>

TfrmMain* frmMain = nullptr;

ApplicationForms::ApplicationForms(platform::Prompts& prompts)
    : mainForm(std::make_unique<TfrmMain>(prompts)) {
    frmMain = mainForm.get();
    formatForm = std::make_unique<TfrmFormatInfo>();
    frmFormatInfo = formatForm.get();
}

ApplicationForms::~ApplicationForms() {
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
const QString saveQuestion = QStringLiteral("Changes have been made.  save them?");
const QString trainerAdded = QStringLiteral(
    "A 512-byte trainer will not actually be inserted at offsets 16-527.\nYou need to use "
    "HexEdit or the Pellmoor to add one.");
const QString trainerRemoved = QStringLiteral(
    "The 512-byte trainer at offsets 16-527 will not acually be removed from the file.\nYou "
    "need to use HexEdit or the Pellmoor to remove it.");

constexpr int gridColumnWidths[] = {41, 19, 19, 19, 19, 9, 19, 19, 19, 19};
constexpr int gridRowHeights[] = {18, 17};
// Read-only boxes are painted in the classic active-border grey.
const QColor displayOnlyColour(0xD4, 0xD0, 0xC8);

constexpr std::uint8_t mirroringBit = 0x01;
constexpr std::uint8_t sramBit = 0x02;
constexpr std::uint8_t trainerBit = 0x04;
constexpr std::uint8_t fourScreenBit = 0x08;

// "32k (32768 bytes)"
QString SizeText(int kilobytes, int bytes) {
    return QString::number(kilobytes) + "k (" + QString::number(bytes) + " bytes)";
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
        QPalette shade = edit->palette();
        for (QPalette::ColorGroup group :
             {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            shade.setColor(group, QPalette::Base, displayOnlyColour);
        }
        edit->setPalette(shade);
    }

    ui->Image1->setPixmap(QPixmap(cartridge).scaled(ui->Image1->size(), Qt::KeepAspectRatio,
                                                    Qt::SmoothTransformation));
    setWindowIcon(QIcon(QPixmap(tallowick_icon)));

    centralWidget()->setFixedSize(321, 288);
    setFixedSize(sizeHint());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }

    bindEvents();
    FormCreate();
}

TfrmMain::~TfrmMain() {
    FormDestroy();
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
    bind(ui->mnuAbout, &QAction::triggered, &TfrmMain::mnuAboutClick);
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
    SetCells(0, 0, QStringLiteral("0x0000"));
    SetCells(0, 1, QStringLiteral("0x0008"));
    SetCells(5, 0, QStringLiteral("-"));
    SetCells(5, 1, QStringLiteral("-"));
    romLoaded = false;
}

void TfrmMain::mnuAboutClick() {
    prompts.message(QStringLiteral("Tallowick " TALLOWICK_VERSION
                                   "\n\nViews and edits the 16-byte header of iNES cartridge "
                                   "images (.nes files).\nIt never changes a byte behind the "
                                   "header."),
                    QStringLiteral("About"), platform::Buttons::ok);
}

void TfrmMain::mnuExitClick() {
    close();
}

void TfrmMain::mnuFormatInfoClick() {
    if (frmFormatInfo != nullptr) {
        frmFormatInfo->setVisible(true);
        frmFormatInfo->raise();
        frmFormatInfo->activateWindow();
    }
}

// ---------------------------------------------------------------- the grid

void TfrmMain::SetCells(int column, int row, const QString& text) {
    ui->sgdHeader->item(row, column)->setText(text);
}

void TfrmMain::SetSelection(int left, int top, int right, int bottom) {
    QTableWidget* grid = ui->sgdHeader;
    grid->clearSelection();
    if (left >= 0) {
        grid->setRangeSelected(QTableWidgetSelectionRange(top, left, bottom, right), true);
    }
}

// Header byte i lives in row i / 8; columns 1-4 hold k = i % 8 of 0-3 and
// columns 6-9 hold 4-7, beside the separator column 5.
void TfrmMain::ShowByte(int index) {
    const int k = index % 8;
    SetCells(k < 4 ? k + 1 : k + 2, index / 8, platform::hexText((*header)[index], 2));
}

// ---------------------------------------------------------------- loading

void TfrmMain::mnuLoadClick() {
    if (!OpenDialog1.choose()) {
        return;
    }
    LoadRom();
    romLoaded = romFile != nullptr;
}

void TfrmMain::FailLoad(const QString& message) {
    prompts.message(message, errorCaption, platform::Buttons::ok);
    // Blank the window too: it must not go on showing a file it no longer holds.
    FreeRom();
}

void TfrmMain::LoadRom() {
    romFile.reset();
    const QByteArray path = QFile::encodeName(OpenDialog1.fileName());
    romFile = std::make_unique<inesStrm>(path.constData());
    if (!romFile->isOpen()) {
        FailLoad(streamNotOpened);
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
            if (romFile->writeHeader(&cleaned)) {
                *header = cleaned;
                prompts.message(garbageRemoved, noteCaption, platform::Buttons::ok);
            } else {
                prompts.message(garbageNotWritten, errorCaption, platform::Buttons::ok);
            }
        } else {
            prompts.message(garbageKept, noteCaption, platform::Buttons::ok);
        }
    }

    for (int index = 0; index < 16; ++index) {
        ShowByte(index);
    }

    auto show = [](QLineEdit* edit, const QString& text) {
        edit->setEnabled(true);
        edit->setText(text);
    };
    show(ui->txtLabel, QString::fromLatin1(romFile->getLabel().c_str()));
    show(ui->txtByte3, "0x" + platform::hexText(romFile->getByte3(), 2));
    show(ui->txtMapperNum, QString::number(romFile->getMapper()));
    show(ui->txtMapperName, QString::fromLatin1(romFile->getMapperName()));
    show(ui->txtPrgPages, QString::number(romFile->getPrgPages()));
    show(ui->txtPrgMem, SizeText(romFile->getPrgPages() * 16, romFile->getPrgSize()));
    show(ui->txtChrPages, QString::number(romFile->getChrPages()));
    show(ui->txtChrMem, SizeText(romFile->getChrPages() * 8, romFile->getChrSize()));
    ui->cmbMirroring->setEnabled(true);
    ui->cmbMirroring->setCurrentIndex(romFile->getMirroring());
    auto tick = [](QCheckBox* box, int checked) {
        box->setEnabled(true);
        box->setChecked(checked != 0);
    };
    tick(ui->chk4ScreenMirroring, romFile->getFourScreen());
    tick(ui->chkSRAM, romFile->getSRAM());
    tick(ui->chkTrainer, romFile->getTrainer());
    ui->btnApply->setEnabled(true);

    SetSelection(-1, 0, -1, 0);
}

// ---------------------------------------------------------------- selection

void TfrmMain::sgdHeaderEnter() {
    SetSelection(-1, 0, -1, 0);
}
void TfrmMain::txtLabelClick() {
    SetSelection(1, 0, 3, 0);
}
void TfrmMain::txtByte3Click() {
    SetSelection(4, 0, 4, 0);
}
void TfrmMain::txtMapperNumClick() {
    SetSelection(8, 0, 9, 0);
}
void TfrmMain::txtMapperNameClick() {
    SetSelection(8, 0, 9, 0);
}
void TfrmMain::txtPrgPagesClick() {
    SetSelection(6, 0, 6, 0);
}
void TfrmMain::txtPrgMemClick() {
    SetSelection(6, 0, 6, 0);
}
void TfrmMain::txtChrPagesClick() {
    SetSelection(7, 0, 7, 0);
}
void TfrmMain::txtChrMemClick() {
    SetSelection(7, 0, 7, 0);
}
void TfrmMain::cmbMirroringClick() {
    SetSelection(8, 0, 8, 0);
}
void TfrmMain::chk4ScreenMirroringEnter() {
    SetSelection(8, 0, 8, 0);
}
void TfrmMain::chkSRAMEnter() {
    SetSelection(8, 0, 8, 0);
}
void TfrmMain::chkTrainerEnter() {
    SetSelection(8, 0, 8, 0);
}

// ---------------------------------------------------------------- editing

void TfrmMain::txtMapperNumExit() {
    const platform::Number typed = platform::parseInteger(ui->txtMapperNum->text(), 0, 255);
    if (!typed.ok) {
        prompts.showError(typed.error);
        return;
    }
    const int mapper = typed.value;
    CartridgeHeader& bytes = *header;
    bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | ((mapper & 0x0F) << 4));
    ShowByte(6);
    // iNES 1.0 wants bits 0-3 of byte 7 zero; in NES 2.0 they are console flags.
    const int keep = romFile != nullptr && romFile->isNes2() ? (bytes[7] & 0x0F) : 0;
    bytes[7] = static_cast<std::uint8_t>((mapper & 0xF0) | keep);
    ShowByte(7);
}

void TfrmMain::txtPrgPagesExit() {
    SetPages(ui->txtPrgPages, ui->txtPrgMem, 16, 4);
}

void TfrmMain::txtChrPagesExit() {
    SetPages(ui->txtChrPages, ui->txtChrMem, 8, 5);
}

// A page count typed into `box`: its size in `sizeBox`, the count in `index`.
void TfrmMain::SetPages(const QLineEdit* box, QLineEdit* sizeBox, int kilobytesPerPage, int index) {
    if (box->text().isEmpty()) {
        return;
    }
    const platform::Number typed = platform::parseInteger(box->text(), 0, 255);
    if (!typed.ok) {
        prompts.showError(typed.error);
        return;
    }
    const int pages = typed.value;
    const int kilobytes = pages * kilobytesPerPage;
    sizeBox->setText(SizeText(kilobytes, kilobytes * 1024));
    (*header)[index] = static_cast<std::uint8_t>(pages);
    ShowByte(index);
}

void TfrmMain::cmbMirroringSelect() {
    SetFlag(mirroringBit, ui->cmbMirroring->currentIndex() != 0);
}

void TfrmMain::SetFlag(std::uint8_t mask, bool set) {
    std::uint8_t& byte6 = (*header)[6];
    byte6 = static_cast<std::uint8_t>(set ? (byte6 | mask) : (byte6 & ~mask));
    ShowByte(6);
}

void TfrmMain::chk4ScreenMirroringClick() {
    SetSelection(8, 0, 8, 0);
    SetFlag(fourScreenBit, ui->chk4ScreenMirroring->isChecked());
}

void TfrmMain::chkSRAMClick() {
    SetSelection(8, 0, 8, 0);
    SetFlag(sramBit, ui->chkSRAM->isChecked());
}

void TfrmMain::chkTrainerClick() {
    SetSelection(8, 0, 8, 0);
    const bool checked = ui->chkTrainer->isChecked();
    prompts.message(checked ? trainerAdded : trainerRemoved, noteCaption, platform::Buttons::ok);
    SetFlag(trainerBit, checked);
}

// ---------------------------------------------------------------- apply, free, close

void TfrmMain::btnApplyClick() {
    if (romFile == nullptr) {
        return;
    }
    if (romFile->isWritable()) {
        if (!romFile->writeHeader(header.get())) {
            prompts.message(writeFailed, errorCaption, platform::Buttons::ok);
        }
        return;
    }
    prompts.message(readOnlyFile, errorCaption, platform::Buttons::ok);
    FreeRom();
    LoadRom();
}

void TfrmMain::mnuFreeClick() {
    FreeRom();
    romLoaded = false;
}

void TfrmMain::FreeRom() {
    romFile.reset();
    {
        // Blanking a focused number box must not judge its empty text.
        platform::ControlEvents::Quiet quiet(events);
        for (QLineEdit* edit : {ui->txtLabel, ui->txtByte3, ui->txtMapperNum, ui->txtMapperName,
                                ui->txtPrgPages, ui->txtPrgMem, ui->txtChrPages, ui->txtChrMem}) {
            edit->setText(QString());
            edit->setEnabled(false);
        }
        ui->cmbMirroring->setCurrentIndex(-1);
        ui->cmbMirroring->setEnabled(false);
        for (QCheckBox* box : {ui->chk4ScreenMirroring, ui->chkSRAM, ui->chkTrainer}) {
            box->setChecked(false);
            box->setEnabled(false);
        }
        ui->btnApply->setEnabled(false);
    }
    for (int row = 0; row < 2; ++row) {
        for (int column : {1, 2, 3, 4, 6, 7, 8, 9}) {
            SetCells(column, row, QString());
        }
    }
    SetSelection(-1, 0, -1, 0);
}

bool TfrmMain::HeaderChanged() {
    CartridgeHeader inFile = *header;
    romFile->readHeader(&inFile);
    for (int index = 4; index <= 7; ++index) {
        if ((*header)[index] != inFile[index]) {
            return true;
        }
    }
    return false;
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    events.run([this] { FormClose(); });
    event->accept();
}

void TfrmMain::FormClose() {
    if (romLoaded && romFile != nullptr && header != nullptr && HeaderChanged() &&
        romFile->isWritable()) {
        if (prompts.message(saveQuestion, QStringLiteral("Save Changes"),
                            platform::Buttons::yesNo) == platform::Answer::yes &&
            !romFile->writeHeader(header.get())) {
            prompts.message(writeFailed, errorCaption, platform::Buttons::ok);
        }
    }
    header.reset();
}

void TfrmMain::FormDestroy() {
    header.reset();
}
