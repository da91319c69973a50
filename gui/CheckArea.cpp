#include "CheckArea.h"

#include "ui_CheckArea.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QStyle>
#include <QTabBar>
#include <QTableWidget>
#include <QTreeWidget>
#include <QtConcurrent/QtConcurrentRun>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString databaseKey = QStringLiteral("headerDatabase");
const QString noDatabase =
    QStringLiteral("No header database loaded: File > Load Header Database...");
constexpr std::size_t titleBytes = 128;

// How a finding of each severity looks.
struct Look {
    Severity severity;
    const char* word;
    QStyle::StandardPixmap icon;
};
const Look looks[] = {{Severity::error, "Error", QStyle::SP_MessageBoxCritical},
                      {Severity::warning, "Warning", QStyle::SP_MessageBoxWarning},
                      {Severity::info, "Note", QStyle::SP_MessageBoxInformation}};

const Look& lookOf(Severity severity) {
    return *std::find_if(std::begin(looks), std::end(looks),
                         [severity](const Look& look) { return look.severity == severity; });
}

// A field's value as the user reads it.
QString valueOf(const HeaderField& field, const NesHeader& header) {
    return QString::fromStdString(valueText(field, header));
}

QString hashLine(const char* part, const std::string& crc, const std::string& sha1) {
    if (crc.empty()) {
        return QString("%1 none").arg(part, -12);
    }
    return QString("%1 CRC-32 %2").arg(part, -12).arg(QString::fromStdString(crc)) +
           (sha1.empty() ? QString() : "  SHA-1 " + QString::fromStdString(sha1));
}

} // namespace

CheckArea::CheckArea(QWidget* area, platform::ControlEvents& events, platform::Prompts& prompts,
                     AreaHost host)
    : ui(std::make_unique<Ui::CheckArea>()), events(events), prompts(prompts),
      host(std::move(host)), databaseChooser(prompts, QStringLiteral("Load Header Database"),
                                             QStringLiteral("NES 2.0 Header Database (*.xml)")) {
    // Controls added to a shown widget stay hidden until it is shown again.
    area->hide();
    ui->setupUi(area);
    // Its classic sizes grow with a larger font, as the main window's do.
    if (const double growth = platform::fontGrowth(area->font()); growth > 1) {
        platform::growLayout(area->layout(), growth);
    }
    area->show();
    // Its pages change by a click or Ctrl+Tab: Tab goes through the
    // controls of the page shown.
    ui->tabCheck->findChild<QTabBar*>()->setFocusPolicy(Qt::ClickFocus);
    // Texts that come from files are never read as markup.
    for (QLabel* label : {ui->lblDatabase, ui->lblVerdict, ui->lblFix}) {
        label->setTextFormat(Qt::PlainText);
    }
    ui->lstFindings->setColumnWidth(0, 80);
    ui->tblDatabase->setColumnWidth(0, 160);
    ui->tblDatabase->setColumnWidth(1, 280);
    ui->tblDatabase->horizontalHeader()->setStretchLastSection(true);
    connect(&watcher, &QFutureWatcher<ImageReport>::finished, this,
            [this] { this->events.run([this] { scanFinished(); }); });
    connect(&databaseWatcher, &QFutureWatcher<DatabaseLoad>::finished, this,
            [this] { this->events.run([this] { databaseRead(); }); });
    progressTimer.setInterval(100);
    connect(&progressTimer, &QTimer::timeout, this, [this] {
        if (scan && scan->total > 0) {
            ui->prgCheck->setVisible(true);
            ui->prgCheck->setValue(static_cast<int>(1000 * scan->done / scan->total));
        }
    });
    connect(ui->lstFindings, &QTreeWidget::currentItemChanged, this, [this] {
        const Finding* chosen = findingOf(ui->lstFindings->currentItem());
        const bool fixable = chosen != nullptr && chosen->fix.has_value();
        ui->btnTakeFix->setEnabled(fixable);
        ui->btnTakeFix->setText(fixable ? QString::fromStdString(chosen->fixLabel)
                                        : QStringLiteral("Take the Fi&x"));
        ui->lblFix->setText(fixable ? QStringLiteral("The fix changes the working copy; "
                                                     "Apply Changes writes it.")
                                    : QString());
    });
    auto bind = [this](QPushButton* button, std::function<void()> run) {
        connect(button, &QPushButton::clicked, this, [this, run] { this->events.run(run); });
    };
    bind(ui->btnTakeFix, [this] { takeFix(); });
    bind(ui->btnTakeSelected, [this] { takeFields(false); });
    bind(ui->btnTakeAll, [this] { takeFields(true); });
    connect(ui->chkDifferencesOnly, &QCheckBox::toggled, this, &CheckArea::hideEqualFields);
    ui->txtHashes->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* copyEntry =
        new QAction(QStringLiteral("&Copy the Database's Header Bytes"), ui->tblDatabase);
    copyEntry->setObjectName(QStringLiteral("copyEntryBytes"));
    connect(copyEntry, &QAction::triggered, copyEntry, [this] {
        if (const ImageDocument* document = this->host.document(); document && document->entry()) {
            QGuiApplication::clipboard()->setText(
                platform::headerHex(document->entry()->header.bytes()));
        }
    });
    ui->tblDatabase->addAction(copyEntry);
    ui->tblDatabase->setContextMenuPolicy(Qt::ActionsContextMenu);
    // The progress is counted in thousandths of the file.
    ui->prgCheck->setRange(0, 1000);
    clear();
}

CheckArea::~CheckArea() {
    stopScan();
    // A database still being read stops at its next piece.
    databaseCancel->store(true);
    watcher.waitForFinished();
    databaseWatcher.waitForFinished();
}

// The reading stops at its next block; nobody waits for it. What it shares
// with the area is its own Scan, and its result goes nowhere.
void CheckArea::stopScan() {
    if (scan) {
        scan->cancel = true;
    }
    hideProgress();
}

// The bar hidden and emptied, so that the next reading starts from nothing.
void CheckArea::hideProgress() {
    progressTimer.stop();
    ui->prgCheck->setVisible(false);
    ui->prgCheck->reset();
}

void CheckArea::start() {
    stopScan();
    ImageDocument* document = host.document();
    // The reading exists before the comparison is shown, which then says so.
    scan = std::make_shared<Scan>();
    headerEdited();
    ui->txtHashes->setPlainText(QStringLiteral("Reading the file..."));
    watcher.setFuture(QtConcurrent::run([shared = scan, job = document->scanJob()] {
        return job(
            [&shared](std::uint64_t done, std::uint64_t total) {
                shared->done = done;
                shared->total = total;
            },
            &shared->cancel);
    }));
    progressTimer.start();
}

void CheckArea::clear() {
    stopScan();
    scan.reset();
    findings.clear();
    ui->lstFindings->clear();
    ui->txtHashes->clear();
    ui->lblVerdict->setText(QStringLiteral("No image loaded."));
    ui->lblVerdict->setPalette(QPalette());
    ui->btnTakeFix->setEnabled(false);
    showComparison();
}

void CheckArea::scanFinished() {
    if (!scan || scan->cancel || watcher.isCanceled()) {
        return;
    }
    hideProgress();
    ImageDocument* document = host.document();
    if (document == nullptr) {
        return;
    }
    document->takeReport(watcher.result());
    document->lookUp(database.get());
    findings = document->findings();
    showHashes();
    showFindings();
    showComparison();
    host.checked();
}

void CheckArea::headerEdited() {
    const ImageDocument* document = host.document();
    findings = document != nullptr ? document->findings() : std::vector<Finding>();
    showFindings();
    showComparison();
}

void CheckArea::showFindings() {
    const ImageDocument* document = host.document();
    if (document == nullptr) {
        return;
    }
    int counts[3] = {};
    ui->lstFindings->clear();
    for (std::size_t i = 0; i < findings.size(); ++i) {
        const Look& look = lookOf(findings[i].severity);
        ++counts[&look - looks];
        const QString message =
            platform::sentenceStart(QString::fromStdString(findings[i].message));
        auto* item =
            new QTreeWidgetItem(ui->lstFindings, {QString::fromLatin1(look.word), message});
        item->setIcon(0, QApplication::style()->standardIcon(look.icon));
        item->setData(0, Qt::UserRole, int(i));
        item->setToolTip(1, item->text(1));
    }
    QString verdict;
    QColor colour;
    auto plural = [](int n, const char* word) {
        return QString("%1 %2%3").arg(n).arg(word).arg(n == 1 ? "" : "s");
    };
    if (counts[0] > 0) {
        verdict = plural(counts[0], "error") +
                  (counts[1] ? ", " + plural(counts[1], "warning") : "") +
                  ": the header does not fit this image.";
        colour = platform::verdictColour(0, ui->lblVerdict->palette());
    } else if (counts[1] > 0) {
        verdict = plural(counts[1], "warning") + ": the header works, but something looks wrong.";
        colour = platform::verdictColour(1, ui->lblVerdict->palette());
    } else {
        verdict = QStringLiteral("All well: the header fits the file and breaks no rule.");
        colour = platform::verdictColour(2, ui->lblVerdict->palette());
    }
    if (document->entry() != nullptr) {
        const int differing = int(document->differences().size());
        verdict +=
            differing == 0
                ? QStringLiteral("  The header database agrees.")
                : QString("  The header database differs in %1.").arg(plural(differing, "field"));
    }
    QPalette palette = ui->lblVerdict->palette();
    palette.setColor(QPalette::WindowText, colour);
    ui->lblVerdict->setPalette(palette);
    ui->lblVerdict->setText(verdict);
    if (findings.empty()) {
        new QTreeWidgetItem(ui->lstFindings, {QString(), verdict});
    }
    ui->lblFix->clear();
    ui->btnTakeFix->setEnabled(false);
    ui->btnTakeFix->setText(QStringLiteral("Take the Fi&x"));
}

void CheckArea::showHashes() {
    const std::optional<ImageReport>& report = host.document()->report();
    if (!report->complete) {
        ui->txtHashes->setPlainText(report->readError.empty()
                                        ? QStringLiteral("Reading stopped.")
                                        : "The file could not be read: " +
                                              QString::fromStdString(report->readError));
        return;
    }
    const Hashes& h = report->hashes;
    struct Part {
        const char* name;
        const std::string &crc, &sha1;
        bool shown;
        bool toFileEnd; // unknown when the file was not read to its end
    };
    const std::string none;
    const Part parts[] = {{"Whole file", h.fileCrc32, none, true, true},
                          {"ROM", h.romCrc32, h.romSha1, true, true},
                          {"PRG-ROM", h.prgCrc32, h.prgSha1, true, false},
                          {"CHR-ROM", h.chrCrc32, h.chrSha1, true, false},
                          {"No trainer", h.bodyCrc32, h.bodySha1, h.bodySha1 != h.romSha1, true}};
    QStringList lines;
    // Each hash can be copied from the box's context menu.
    for (QAction* action : ui->txtHashes->actions()) {
        ui->txtHashes->removeAction(action);
        action->deleteLater();
    }
    auto copyAction = [this](const QString& what, const std::string& value) {
        auto* copy =
            new QAction("Copy " + what + " " + QString::fromStdString(value), ui->txtHashes);
        copy->setObjectName(QStringLiteral("copyHash"));
        connect(copy, &QAction::triggered, copy,
                [value] { QGuiApplication::clipboard()->setText(QString::fromStdString(value)); });
        ui->txtHashes->addAction(copy);
    };
    for (const Part& part : parts) {
        if (!part.shown) {
            continue;
        }
        const bool known = h.toEnd || !part.toFileEnd;
        lines << (known ? hashLine(part.name, part.crc, part.sha1)
                        : QString("%1 not read: the file is far larger than its header")
                              .arg(part.name, -12));
        for (const auto& [kind, value] : {std::pair("CRC-32", &part.crc), {"SHA-1", &part.sha1}}) {
            if (known && !value->empty()) {
                copyAction(QString::fromLatin1(part.name) + " " + kind, *value);
            }
        }
    }
    lines << QString()
          << QStringLiteral("ROM is every byte after the 16-byte header: the key of "
                            "dump catalogues.");
    ui->txtHashes->setPlainText(lines.join('\n'));
}

void CheckArea::showComparison() {
    QTableWidget* table = ui->tblDatabase;
    table->setRowCount(0);
    ui->btnTakeSelected->setEnabled(false);
    ui->btnTakeAll->setEnabled(false);
    if (!database) {
        ui->lblDatabase->setText(noDatabase);
        return;
    }
    const QString entries = QString::number(database->size());
    const ImageDocument* document = host.document();
    if (document == nullptr || !document->report()) {
        ui->lblDatabase->setText(scan ? "Reading the file for its hashes... (" + entries +
                                            " entries in the database)"
                                      : "Header database loaded: " + entries + " entries.");
        return;
    }
    const DatabaseEntry* entry = document->entry();
    if (entry == nullptr) {
        ui->lblDatabase->setText("This image is not in the header database (" + entries +
                                 " entries).");
        return;
    }
    // The dump's name comes from the database file: plain text, controls escaped.
    ui->lblDatabase->setText("In the header database as " +
                             QString::fromStdString(printable(entry->name)));
    const NesHeader& working = document->working();
    const std::vector<FieldDifference> differences = document->differences();
    table->setRowCount(headerFieldCount);
    const int differing = int(differences.size());
    for (int row = 0; row < headerFieldCount; ++row) {
        const HeaderField& field = headerFields[row];
        // A field the header cannot hold is not different: it is not in this header.
        const bool held = holdsField(working, field);
        const QString ours = held ? valueOf(field, working) : QStringLiteral("not in this header");
        const QString theirs = valueOf(field, entry->header);
        auto* name = new QTableWidgetItem(QString::fromLatin1(field.label));
        const bool differs =
            std::any_of(differences.begin(), differences.end(),
                        [&field](const FieldDifference& d) { return d.field == &field; });
        if (differs) {
            name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
            name->setCheckState(Qt::Unchecked);
        } else {
            name->setFlags(Qt::ItemIsEnabled);
        }
        table->setItem(row, 0, name);
        table->setItem(row, 1, new QTableWidgetItem(ours));
        table->setItem(row, 2, new QTableWidgetItem(theirs));
        if (!held) {
            table->item(row, 1)->setForeground(
                table->palette().brush(QPalette::Disabled, QPalette::Text));
        }
        for (int column = 0; column < 3; ++column) {
            QFont font = table->item(row, column)->font();
            font.setBold(differs);
            table->item(row, column)->setFont(font);
        }
    }
    hideEqualFields();
    // The entry's 16 bytes, beside the working copy's; the table's context
    // menu copies them.
    table->setRowCount(headerFieldCount + 1);
    table->setItem(headerFieldCount, 0, new QTableWidgetItem(QStringLiteral("Header bytes")));
    table->setItem(headerFieldCount, 1, new QTableWidgetItem(platform::headerHex(working.bytes())));
    table->setItem(headerFieldCount, 2,
                   new QTableWidgetItem(platform::headerHex(entry->header.bytes())));
    table->item(headerFieldCount, 0)->setFlags(Qt::ItemIsEnabled);
    table->resizeRowsToContents();
    ui->btnTakeSelected->setEnabled(differing > 0);
    ui->btnTakeAll->setEnabled(differing > 0);
    if (differing == 0) {
        ui->lblDatabase->setText(ui->lblDatabase->text() + ": the header agrees.");
    }
}

// With "Differences only", the table shows the fields that differ (those
// that can be taken) and the bytes.
void CheckArea::hideEqualFields() {
    QTableWidget* table = ui->tblDatabase;
    for (int row = 0; row < std::min(table->rowCount(), headerFieldCount); ++row) {
        const bool differs = table->item(row, 0)->flags() & Qt::ItemIsUserCheckable;
        table->setRowHidden(row, ui->chkDifferencesOnly->isChecked() && !differs);
    }
}

// The database is NES 2.0: an iNES 1.0 working copy is converted first.
void CheckArea::takeFields(bool all) {
    const ImageDocument* document = host.document();
    if (document == nullptr || document->entry() == nullptr) {
        return;
    }
    std::vector<const HeaderField*> chosen;
    for (int row = 0; !all && row < headerFieldCount; ++row) {
        const QTableWidgetItem* name = ui->tblDatabase->item(row, 0);
        if ((name->flags() & Qt::ItemIsUserCheckable) != 0 && name->checkState() == Qt::Checked) {
            chosen.push_back(&headerFields[row]);
        }
    }
    if (!all && chosen.empty()) {
        return;
    }
    const QString step = all ? QStringLiteral("Take all fields from the database")
                             : QString("Take %1 field%2 from the database")
                                   .arg(chosen.size())
                                   .arg(chosen.size() == 1 ? "" : "s");
    if (const Refusal refusal =
            host.change(step, [&chosen](ImageDocument& image) { return image.take(chosen); })) {
        prompts.showError(QString::fromStdString(*refusal));
    }
}

const Finding* CheckArea::findingOf(const QTreeWidgetItem* item) const {
    const QVariant index = item != nullptr ? item->data(0, Qt::UserRole) : QVariant();
    return index.isValid() && index.toUInt() < findings.size() ? &findings[index.toUInt()]
                                                               : nullptr;
}

void CheckArea::takeFix() {
    const Finding* chosen = findingOf(ui->lstFindings->currentItem());
    if (chosen != nullptr && chosen->fix) {
        const NesHeader fix(*chosen->fix);
        host.change(QString::fromStdString(chosen->fixLabel), [fix](ImageDocument& image) {
            image.replace(fix);
            return Refusal();
        });
    }
}

// ---------------------------------------------------------------- the database

QWidget* CheckArea::firstControl() const {
    return ui->lstFindings;
}

void CheckArea::mnuLoadDatabaseClick() {
    if (!databaseChooser.choose()) {
        return;
    }
    // The file the dialog named, byte for byte, as for images.
    if (const std::optional<QByteArray> path = platform::systemPath(databaseChooser.fileName())) {
        loadDatabase(*path, false);
    } else {
        prompts.message(platform::nameNotExact, QStringLiteral("Error"), platform::Buttons::ok);
    }
}

void CheckArea::loadRememberedDatabase() {
    const QByteArray remembered = QSettings().value(databaseKey).toByteArray();
    loadDatabase(remembered.isEmpty() ? QFile::encodeName(QStandardPaths::writableLocation(
                                                              QStandardPaths::AppDataLocation) +
                                                          QStringLiteral("/nes20db.xml"))
                                      : remembered,
                 true);
}

void CheckArea::loadDatabase(const QByteArray& path, bool quietIfMissing) {
    struct stat about {};
    if (quietIfMissing && ::stat(path.constData(), &about) != 0) {
        return;
    }
    // Read in the background: a real database takes a moment.
    databaseWatcher.setFuture(QtConcurrent::run([path, cancel = databaseCancel] {
        DatabaseLoad read{path, std::nullopt, std::string()};
        read.database = HeaderDatabase::load(path.toStdString(), read.error, cancel.get());
        return read;
    }));
}

void CheckArea::databaseRead() {
    DatabaseLoad read = databaseWatcher.result();
    if (!read.database) {
        prompts.message("The header database could not be read, so nothing changed.\n" +
                            QString::fromStdString(read.error),
                        QStringLiteral("Error"), platform::Buttons::ok);
        return;
    }
    database = std::make_shared<const HeaderDatabase>(std::move(*read.database));
    // Entries that disagree about the same data: said once, beside the label.
    QStringList notes;
    for (const std::string& note : database->notes()) {
        notes << QString::fromStdString(printable(note));
    }
    ui->lblDatabase->setToolTip(notes.join('\n'));
    QSettings().setValue(databaseKey, read.path);
    databaseChooser.setFileName(QFile::decodeName(read.path));
    if (ImageDocument* document = host.document()) {
        document->lookUp(database.get());
    }
    showFindings();
    showComparison();
}
