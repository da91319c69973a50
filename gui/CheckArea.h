// The Check area of the main window: the verdict at a glance, the findings
// in words (with a fix where one is plain), the hashes of the dump, and the
// header database's header beside the working copy, field by field. The
// image is read in the background after the header is shown; checking
// never writes. The main window builds it just after its first paint.
#pragma once

#include "AreaHost.h"
#include "Platform.h"

#include <QFutureWatcher>
#include <QObject>
#include <QTimer>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class QTreeWidgetItem;

namespace Ui {
class CheckArea;
}

class CheckArea : public QObject {
public:
    // Lays the area's controls out in `area`.
    CheckArea(QWidget* area, platform::ControlEvents& events, platform::Prompts& prompts,
              AreaHost host);
    ~CheckArea() override;

    // A file was loaded: its findings at once, its hashes when read.
    void start();
    // The file was freed or the load failed.
    void clear();
    // The working copy changed: the findings and the comparison follow it.
    void headerEdited();
    // Loads the header database at `path`; says why when it cannot.
    // `path` is the file's name as the system spells it.
    void loadDatabase(const QByteArray& path, bool quietIfMissing);
    // The database the user chose last, or the default one, when it exists.
    void loadRememberedDatabase();

    void mnuLoadDatabaseClick();
    // The header database loaded, or none.
    std::shared_ptr<const HeaderDatabase> currentDatabase() const { return database; }
    // Where Tab enters the area.
    QWidget* firstControl() const;

private:
    // One background reading of one file.
    struct Scan {
        std::atomic<bool> cancel{false};
        std::atomic<std::uint64_t> done{0}, total{0};
    };

    void showFindings();
    void showHashes();
    void showComparison();
    void hideEqualFields();
    void takeFields(bool all);
    void takeFix();
    // The finding a row of the list shows, or nullptr.
    const Finding* findingOf(const QTreeWidgetItem* item) const;
    void scanFinished();
    void databaseRead();
    void stopScan();
    void hideProgress();

    std::unique_ptr<Ui::CheckArea> ui;
    platform::ControlEvents& events;
    platform::Prompts& prompts;
    AreaHost host;
    QFutureWatcher<ImageReport> watcher;
    // A header database read in the background, or why it could not be.
    struct DatabaseLoad {
        QByteArray path;
        std::optional<HeaderDatabase> database;
        std::string error;
    };
    QFutureWatcher<DatabaseLoad> databaseWatcher;
    std::shared_ptr<std::atomic<bool>> databaseCancel = std::make_shared<std::atomic<bool>>(false);
    std::shared_ptr<Scan> scan;
    QTimer progressTimer;
    std::vector<Finding> findings;
    std::shared_ptr<const HeaderDatabase> database;
    platform::FileChooser databaseChooser;
};
