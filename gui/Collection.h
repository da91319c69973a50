// The collection window: every image in a folder and its subfolders at a
// glance, read in the background, sortable and filtered; and the repair of
// the selected images in one batch (from the header database, garbage
// cleaned, converted to NES 2.0), previewed before anything is written,
// journalled, and undone from the journal.
#pragma once

#include "Platform.h"
#include "headerDatabase.h"

#include <QByteArray>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CollectionModel;
class CollectionFilter;
class CollectionScan;

namespace Ui {
class TfrmCollection;
}

class TfrmCollection : public QWidget {
    Q_OBJECT

public:
    // The header database the main window has loaded, or none.
    using DatabaseSource = std::function<std::shared_ptr<const HeaderDatabase>()>;

    TfrmCollection(platform::Prompts& prompts, DatabaseSource database, QWidget* parent = nullptr);
    ~TfrmCollection() override;

    // Lists every image below `folder` (bytes, as the system names it); the
    // rows appear while the images are read in the background.
    void OpenFolder(const QByteArray& folder);
    // The images are still being read.
    bool Reading() const;

    // A double-click (or Enter) on a row: the image's path.
    std::function<void(const QByteArray&)> onOpenImage;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    enum class Batch { fix, clean, toNes2 };

    void btnFixClick() { Repair(Batch::fix); }
    void btnCleanClick() { Repair(Batch::clean); }
    void btnConvertClick() { Repair(Batch::toNes2); }
    void btnUndoRepairClick();
    void btnCancelScanClick();
    void cmbFilterChange();

    void Repair(Batch batch);
    void TakeRows();
    void StopScan();
    // Reads the images at `paths` again, after a batch wrote them.
    void Refresh(const std::vector<std::string>& paths);
    void UpdateButtons();
    std::vector<std::string> SelectedPaths() const;
    QString LastJournal() const;

    std::unique_ptr<Ui::TfrmCollection> ui;
    platform::Prompts& prompts;
    DatabaseSource databaseSource;
    std::shared_ptr<const HeaderDatabase> database; // the one the rows were read with
    std::unique_ptr<CollectionModel> model;
    std::unique_ptr<CollectionFilter> filter;
    std::unique_ptr<CollectionScan> scan;
    QTimer rowTimer;
    std::string prefix; // the folder listed, ending in '/'
};
