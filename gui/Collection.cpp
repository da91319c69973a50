#include "Collection.h"

#include "RepairPreview.h"
#include "fileList.h"
#include "imageDocument.h"
#include "repair.h"
#include "ui_Collection.h"

#include <QAbstractTableModel>
#include <QCloseEvent>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QProgressDialog>
#include <QScreen>
#include <QSettings>
#include <QSortFilterProxyModel>

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <thread>

namespace {

const QString lastJournalKey = QStringLiteral("collection/lastJournal");
const QString errorCaption = QStringLiteral("Error");

// The table's columns.
namespace col {
enum Column { path, format, mapper, prg, chr, mirroring, battery, verdict, database, count };
}
constexpr int columns = col::count;
const char* const columnTitles[columns] = {"Path",      "Format",  "Mapper",  "PRG",     "CHR",
                                           "Mirroring", "Battery", "Verdict", "Database"};

// How an image compares with the database, for the filter.
enum class Match { noDatabase, matched, differs, notFound };

QString text(const std::string& bytes) {
    return QString::fromStdString(printable(bytes));
}

// The path as the table shows it: below the folder (`prefix` ends in '/').
QString shownPath(const std::string& path, const std::string& prefix) {
    const bool inside = path.compare(0, prefix.size(), prefix) == 0;
    return text(inside ? path.substr(prefix.size()) : path);
}

} // namespace

// One image as a row: the texts of its columns and what sorting and the
// filter need.
struct CollectionRow {
    std::string path; // as the system names it
    QString texts[columns];
    quint64 keys[columns] = {}; // numbers that sort the numeric columns (sizes up to 16 EiB)
    int level = 0;              // 0 errors (or unusable), 1 warnings, 2 fine
    Match match = Match::noDatabase;
};

namespace {

// What `tallowick-cli info --brief` says of the image, in columns; with a
// database, the image is hashed and looked up as `info --db` does.
CollectionRow readRow(const Target& target, const std::string& prefix,
                      const HeaderDatabase* database, const std::atomic<bool>* cancel) {
    CollectionRow row;
    row.path = target.path;
    row.texts[col::path] = shownPath(target.path, prefix);
    ImageDocument document(target.error.empty() ? target.path : std::string(), Access::readOnly);
    const std::string problem = target.error.empty() ? document.problemText() : target.error;
    if (!problem.empty()) {
        row.texts[col::verdict] = text(problem);
        return row;
    }
    if (database != nullptr) {
        document.takeReport(document.scanJob()(Progress(), cancel));
        document.lookUp(database);
    }
    const std::vector<Finding> findings = reportedFindings(document);
    const ImageSummary summary = summarize(document, findings);
    const NesHeader& header = document.working();
    const std::pair<col::Column, const std::string*> texts[] = {
        {col::format, &summary.format},
        {col::mapper, &summary.mapper},
        {col::prg, &summary.prg},
        {col::chr, &summary.chr},
        {col::mirroring, &summary.mirroring},
        {col::verdict, &summary.verdict}};
    for (const auto& [column, value] : texts) {
        row.texts[column] = QString::fromStdString(*value);
    }
    row.texts[col::battery] = summary.battery ? QStringLiteral("yes") : QStringLiteral("no");
    row.texts[col::database] = QString::fromStdString(databaseState(document, database));
    row.keys[col::mapper] = header.mapper();
    row.keys[col::prg] = header.prgRomBytes();
    row.keys[col::chr] = header.chrRomBytes();
    const std::optional<Severity> worst = worstOf(findings);
    row.level = !worst || *worst == Severity::info ? 2 : *worst == Severity::warning ? 1 : 0;
    row.match = database == nullptr              ? Match::noDatabase
                : document.entry() == nullptr    ? Match::notFound
                : document.differences().empty() ? Match::matched
                                                 : Match::differs;
    return row;
}

} // namespace

// The folder read on worker threads: the walk first, then every image, the
// rows handed over in pieces as they are done.
class CollectionScan {
public:
    // `finished` runs on the scan's thread when the last image is read.
    // `prefix`: the folder, ending in '/'.
    CollectionScan(std::string prefix, std::shared_ptr<const HeaderDatabase> database,
                   std::function<void()> finished)
        : prefix(std::move(prefix)), database(std::move(database)), finished_(std::move(finished)) {
        coordinator = std::thread([this] { run(); });
    }
    ~CollectionScan() {
        cancel = true;
        coordinator.join();
    }
    CollectionScan(const CollectionScan&) = delete;
    CollectionScan& operator=(const CollectionScan&) = delete;

    std::vector<CollectionRow> take() {
        const std::lock_guard<std::mutex> hold(lock);
        return std::exchange(pending, {});
    }
    void stop() { cancel = true; }
    std::size_t done() const { return finishedRows; }
    std::size_t total() const { return totalRows; }
    bool finished() const { return over; }
    bool stopped() const { return cancel; }

private:
    void run() {
        const std::vector<Target> targets = expandPaths({prefix});
        totalRows = targets.size();
        std::atomic<std::size_t> next{0};
        const auto work = [&] {
            for (std::size_t index; !cancel && (index = next++) < targets.size();) {
                CollectionRow row = readRow(targets[index], prefix, database.get(), &cancel);
                if (cancel) {
                    break;
                }
                const std::lock_guard<std::mutex> hold(lock);
                pending.push_back(std::move(row));
                ++finishedRows;
            }
        };
        std::vector<std::thread> helpers;
        const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
        for (unsigned i = 1; i < std::min<std::size_t>(cores, targets.size()); ++i) {
            helpers.emplace_back(work);
        }
        work();
        for (std::thread& helper : helpers) {
            helper.join();
        }
        over = true;
        finished_();
    }

    const std::string prefix;
    const std::shared_ptr<const HeaderDatabase> database;
    const std::function<void()> finished_;
    std::atomic<bool> cancel{false}, over{false};
    std::atomic<std::size_t> finishedRows{0}, totalRows{0};
    std::mutex lock;
    std::vector<CollectionRow> pending;
    std::thread coordinator;
};

class CollectionModel : public QAbstractTableModel {
public:
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(rows.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : columns;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        const CollectionRow& row = rows[std::size_t(index.row())];
        const int column = index.column();
        if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
            return row.texts[column];
        }
        if (role == Qt::UserRole) { // what sorts: numbers where they are numbers
            return column == col::mapper || column == col::prg || column == col::chr
                       ? QVariant(row.keys[column])
                       : QVariant(row.texts[column]);
        }
        if (role == Qt::ForegroundRole && column == col::verdict) {
            return platform::verdictColour(row.level, palette);
        }
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        return orientation == Qt::Horizontal && role == Qt::DisplayRole
                   ? QVariant(QString::fromLatin1(columnTitles[section]))
                   : QVariant();
    }

    void clear() {
        beginResetModel();
        rows.clear();
        rowOf.clear();
        endResetModel();
    }
    void add(std::vector<CollectionRow> more) {
        if (more.empty()) {
            return;
        }
        beginInsertRows({}, int(rows.size()), int(rows.size() + more.size()) - 1);
        for (CollectionRow& row : more) {
            rowOf[row.path] = rows.size();
            rows.push_back(std::move(row));
        }
        endInsertRows();
    }
    void replace(CollectionRow row) {
        const auto found = rowOf.find(row.path);
        if (found != rowOf.end()) {
            rows[found->second] = std::move(row);
            emit dataChanged(index(int(found->second), 0), index(int(found->second), columns - 1));
        }
    }
    const CollectionRow& at(int row) const { return rows[std::size_t(row)]; }

    QPalette palette;

private:
    std::vector<CollectionRow> rows;
    std::map<std::string, std::size_t> rowOf;
};

// Sorting by any column, and the filter: all, with errors, differing from
// the database, not in the database.
class CollectionFilter : public QSortFilterProxyModel {
public:
    enum Shown { all, errors, differing, notFound };
    void show(Shown shown) {
        wanted = shown;
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex&) const override {
        const CollectionRow& row =
            static_cast<const CollectionModel*>(sourceModel())->at(sourceRow);
        return wanted == all || (wanted == errors && row.level == 0) ||
               (wanted == differing && row.match == Match::differs) ||
               (wanted == notFound && row.match == Match::notFound);
    }

private:
    Shown wanted = all;
};

TfrmCollection::TfrmCollection(platform::Prompts& prompts, DatabaseSource database, QWidget* parent)
    : QWidget(parent, Qt::Window), ui(std::make_unique<Ui::TfrmCollection>()), prompts(prompts),
      databaseSource(std::move(database)), model(std::make_unique<CollectionModel>()),
      filter(std::make_unique<CollectionFilter>()) {
    ui->setupUi(this);
    model->palette = palette();
    filter->setSourceModel(model.get());
    filter->setSortRole(Qt::UserRole);
    filter->setSortCaseSensitivity(Qt::CaseInsensitive);
    ui->tblImages->setModel(filter.get());
    ui->tblImages->sortByColumn(col::path, Qt::AscendingOrder);
    QHeaderView* heading = ui->tblImages->horizontalHeader();
    heading->setSectionResizeMode(QHeaderView::Interactive);
    const QFontMetrics metrics(font());
    const int widths[columns] = {28, 14, 28, 10, 10, 11, 8, 16, 18}; // in average characters
    for (int column = 0; column < columns; ++column) {
        heading->resizeSection(column, metrics.averageCharWidth() * widths[column]);
    }
    ui->tblImages->verticalHeader()->setDefaultSectionSize(metrics.height() + 6);

    connect(ui->btnFix, &QPushButton::clicked, this, &TfrmCollection::btnFixClick);
    connect(ui->btnClean, &QPushButton::clicked, this, &TfrmCollection::btnCleanClick);
    connect(ui->btnConvert, &QPushButton::clicked, this, &TfrmCollection::btnConvertClick);
    connect(ui->btnUndoRepair, &QPushButton::clicked, this, &TfrmCollection::btnUndoRepairClick);
    connect(ui->btnCancelScan, &QPushButton::clicked, this, &TfrmCollection::btnCancelScanClick);
    connect(ui->btnClose, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->cmbFilter, &QComboBox::currentIndexChanged, this, &TfrmCollection::cmbFilterChange);
    connect(ui->tblImages, &QAbstractItemView::activated, this, [this](const QModelIndex& index) {
        if (onOpenImage) {
            onOpenImage(
                QByteArray::fromStdString(model->at(filter->mapToSource(index).row()).path));
        }
    });
    connect(ui->tblImages->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TfrmCollection::UpdateButtons);
    connect(&rowTimer, &QTimer::timeout, this, &TfrmCollection::TakeRows);
    rowTimer.setInterval(100);
    ui->prgScan->hide();
    ui->btnCancelScan->hide();
    // Room for every column, within the screen's free area.
    QSize wanted =
        sizeHint().expandedTo(QSize(metrics.averageCharWidth() * 160, metrics.height() * 30));
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        wanted = wanted.boundedTo(screen->availableGeometry().size() * 9 / 10);
    }
    resize(wanted);
    UpdateButtons();
}

TfrmCollection::~TfrmCollection() = default;

void TfrmCollection::closeEvent(QCloseEvent* event) {
    StopScan();
    QWidget::closeEvent(event);
}

void TfrmCollection::OpenFolder(const QByteArray& name) {
    StopScan();
    prefix = name.endsWith('/') ? name.toStdString() : name.toStdString() + '/';
    database = databaseSource ? databaseSource() : nullptr;
    model->clear();
    ui->lblFolder->setText(text(name.toStdString()));
    setWindowTitle(QString::fromStdString(printable(name.toStdString())) + " - Collection");
    ui->lblScan->setText(QStringLiteral("Reading the folder..."));
    ui->prgScan->setValue(0);
    ui->prgScan->show();
    ui->btnCancelScan->show();
    // The last rows are taken as soon as they are read, not at the next tick.
    scan = std::make_unique<CollectionScan>(prefix, database, [this] {
        QMetaObject::invokeMethod(this, &TfrmCollection::TakeRows, Qt::QueuedConnection);
    });
    rowTimer.start();
    UpdateButtons();
}

bool TfrmCollection::Reading() const {
    return scan != nullptr;
}

// Every tenth of a second: the rows read since, and the progress.
void TfrmCollection::TakeRows() {
    if (scan == nullptr) {
        return;
    }
    const bool over = scan->finished();
    model->add(scan->take());
    const std::size_t done = scan->done(), total = scan->total();
    ui->prgScan->setValue(total == 0 ? 0 : int(done * 1000 / total));
    const QString count = QString::number(model->rowCount());
    const QString what =
        database ? QString()
                 : QStringLiteral(" (no header database: File > Load Header Database...)");
    if (!over) {
        ui->lblScan->setText(QString("%1 of %2 images read").arg(done).arg(total) + what);
        return;
    }
    rowTimer.stop();
    ui->prgScan->hide();
    ui->btnCancelScan->hide();
    ui->lblScan->setText((scan->stopped()
                              ? QString("Stopped: %1 of %2 images read").arg(count).arg(total)
                              : count + (total == 1 ? " image" : " images")) +
                         what);
    scan.reset();
    UpdateButtons();
}

void TfrmCollection::StopScan() {
    if (scan != nullptr) {
        scan->stop();
        while (!scan->finished()) {
            std::this_thread::yield();
        }
        TakeRows();
    }
}

void TfrmCollection::btnCancelScanClick() {
    if (scan != nullptr) {
        scan->stop();
    }
}

void TfrmCollection::cmbFilterChange() {
    filter->show(static_cast<CollectionFilter::Shown>(ui->cmbFilter->currentIndex()));
}

void TfrmCollection::UpdateButtons() {
    const bool chosen = ui->tblImages->selectionModel()->hasSelection() && !Reading();
    for (QPushButton* button : {ui->btnFix, ui->btnClean, ui->btnConvert}) {
        button->setEnabled(chosen);
    }
    ui->btnUndoRepair->setEnabled(!LastJournal().isEmpty() && !Reading());
}

std::vector<std::string> TfrmCollection::SelectedPaths() const {
    std::vector<std::string> paths;
    for (const QModelIndex& index : ui->tblImages->selectionModel()->selectedRows()) {
        paths.push_back(model->at(filter->mapToSource(index).row()).path);
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

QString TfrmCollection::LastJournal() const {
    return QSettings().value(lastJournalKey).toString();
}

// ---------------------------------------------------------------- repair

namespace {

struct Planned {
    std::string path;
    RepairPlan plan;
};

// "4E 45 53 1A ...", the bytes that differ from `other` marked.
QString markedHex(const CartridgeHeader& bytes, const CartridgeHeader& other) {
    QString html;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const QString hex = platform::hexText(bytes[i], 2);
        html += (i == 0 ? "" : " ") +
                (bytes[i] == other[i] ? hex : "<span class=\"changed\"><b>" + hex + "</b></span>");
    }
    return html;
}

QString reasonOf(const RepairPlan& plan) {
    const RepairWords& words = wordsFor(outcomeOf(plan.kind));
    const std::string why = !plan.why.empty()       ? words.counted + (": " + plan.why)
                            : words.line != nullptr ? words.line
                                                    : words.counted;
    return text(why);
}

} // namespace

void TfrmCollection::Repair(Batch batch) {
    const std::shared_ptr<const HeaderDatabase> current =
        databaseSource ? databaseSource() : nullptr;
    if (batch == Batch::fix && current == nullptr) {
        prompts.message(QStringLiteral("Load a header database first: File > Load Header "
                                       "Database... in the main window."),
                        errorCaption, platform::Buttons::ok);
        return;
    }
    const std::vector<std::string> paths = SelectedPaths();
    // Read and plan every selected image; nothing is written yet.
    std::vector<Planned> plans;
    {
        QProgressDialog progress(QStringLiteral("Reading the selected images..."),
                                 QStringLiteral("Cancel"), 0, int(paths.size()), this);
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(500);
        for (const std::string& name : paths) {
            progress.setValue(int(plans.size()));
            if (progress.wasCanceled()) {
                return;
            }
            ImageDocument document(name, Access::readOnly);
            plans.push_back(
                {name, batch == Batch::fix
                           ? planRepair(document, *current, FixFormat::nes2, false)
                           : planEdit(document, batch == Batch::clean ? BatchEdit::clean
                                                                      : BatchEdit::toNes2)});
        }
    }
    const auto toWrite = std::count_if(plans.begin(), plans.end(), [](const Planned& p) {
        return p.plan.kind == RepairKind::fix;
    });
    QString written, left;
    for (const Planned& planned : plans) {
        const QString name = shownPath(planned.path, prefix).toHtmlEscaped();
        if (planned.plan.kind == RepairKind::fix) {
            const QString entry = planned.plan.entry != nullptr
                                      ? " (" + text(planned.plan.entry->name).toHtmlEscaped() + ")"
                                      : QString();
            written += "<p><b>" + name + "</b>" + entry + "<br><tt>old " +
                       markedHex(planned.plan.old, planned.plan.old) + "<br>new " +
                       markedHex(planned.plan.fresh, planned.plan.old) + "</tt></p>";
        } else {
            left += "<li>" + name + ": " + reasonOf(planned.plan).toHtmlEscaped() + "</li>";
        }
    }
    const QString titles[] = {QStringLiteral("Fix from Database"), QStringLiteral("Clean Garbage"),
                              QStringLiteral("Convert to NES 2.0")};
    TfrmRepairPreview preview(this);
    preview.setWindowTitle(titles[int(batch)] + " - Preview");
    preview.Show(
        QString("%1 of %2 selected images will get a new header; the others are left as they "
                "are. Nothing is written before you choose Write Headers; each header is "
                "recorded in a journal first, so that Undo Last Repair can put it back.")
            .arg(toWrite)
            .arg(plans.size()),
        (written.isEmpty() ? QString() : "<h4>Headers to write</h4>" + written) +
            (left.isEmpty() ? QString() : "<h4>Left as they are</h4><ul>" + left + "</ul>"),
        toWrite > 0);
    if (!prompts.confirm(preview) || toWrite == 0) {
        return;
    }

    RepairWriter writer;
    std::vector<RepairOutcome> outcomes;
    std::vector<std::string> changed;
    QStringList refused;
    {
        QProgressDialog progress(QStringLiteral("Writing the headers..."), QStringLiteral("Cancel"),
                                 0, int(plans.size()), this);
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(500);
        for (const Planned& planned : plans) {
            progress.setValue(int(outcomes.size()));
            if (progress.wasCanceled()) {
                break;
            }
            RepairOutcome outcome = outcomeOf(planned.plan.kind);
            std::string why = planned.plan.why;
            if (planned.plan.kind == RepairKind::fix) {
                // Read again: it is written only while it holds the previewed header.
                ImageDocument document(planned.path, Access::update);
                const RepairWriter::Written result = writer.write(document, planned.plan, false);
                outcome = result.outcome;
                why =
                    result.problem.empty() ? result.why : result.why + " (" + result.problem + ")";
                if (outcome == RepairOutcome::fixed) {
                    changed.push_back(planned.path);
                }
            }
            if (wordsFor(outcome).failed) {
                refused << shownPath(planned.path, prefix) + ": " + text(why);
            }
            outcomes.push_back(outcome);
        }
    }
    if (writer.journal() != nullptr) {
        QSettings().setValue(lastJournalKey, QFile::decodeName(writer.journal()->path().c_str()));
    }
    Refresh(changed);
    const bool cancelled = outcomes.size() < plans.size();
    QString summary = text(repairSummary(outcomes, false, batch == Batch::fix)) + ".";
    if (cancelled) {
        summary += QString("\nCancelled: %1 images were not looked at.")
                       .arg(plans.size() - outcomes.size());
    }
    if (!refused.isEmpty()) {
        summary +=
            "\n\n" + refused.mid(0, 20).join('\n') +
            (refused.size() > 20 ? QString("\n(and %1 more)").arg(refused.size() - 20) : QString());
    }
    if (writer.journal() != nullptr) {
        summary += "\n\nJournal: " + text(writer.journal()->path());
    }
    prompts.message(summary, titles[int(batch)], platform::Buttons::ok);
    UpdateButtons();
}

void TfrmCollection::btnUndoRepairClick() {
    const QString journal = LastJournal();
    std::string error;
    const std::optional<std::vector<JournalEntry>> entries =
        readJournal(QFile::encodeName(journal).toStdString(), error);
    if (!entries) {
        prompts.message("The journal could not be read, so nothing changed.\n" +
                            text(journal.toStdString()) + ": " + text(error),
                        errorCaption, platform::Buttons::ok);
        return;
    }
    if (prompts.message(QString("Put the old headers back in the %1 files the last repair "
                                "wrote?\nA file changed since is left alone.")
                            .arg(entries->size()),
                        QStringLiteral("Undo Last Repair"),
                        platform::Buttons::yesNo) != platform::Answer::yes) {
        return;
    }
    std::size_t restored = 0;
    QStringList left;
    std::vector<std::string> changed;
    undoAll(*entries, false, [&](const JournalEntry& entry, const Undo& undo) {
        if (undo.kind == UndoResult::restored) {
            ++restored;
            changed.push_back(entry.path);
        } else if (wordsFor(undo.kind).failed) {
            left << text(entry.path) + ": " + text(undoText(undo, false));
        }
    });
    QSettings().remove(lastJournalKey);
    Refresh(changed);
    prompts.message(QString("%1 of %2 headers put back.").arg(restored).arg(entries->size()) +
                        (left.isEmpty() ? QString() : "\n\n" + left.join('\n')),
                    QStringLiteral("Undo Last Repair"), platform::Buttons::ok);
    UpdateButtons();
}

void TfrmCollection::Refresh(const std::vector<std::string>& paths) {
    for (const std::string& name : paths) {
        model->replace(readRow({name, {}}, prefix, database.get(), nullptr));
    }
}
