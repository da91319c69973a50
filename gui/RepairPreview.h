// What a batch repair will write, file by file (the old and new 16 bytes,
// the changed ones marked) and what it leaves and why; nothing is written
// unless the user chooses Write Headers.
#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class TfrmRepairPreview;
}

class TfrmRepairPreview : public QDialog {
    Q_OBJECT

public:
    explicit TfrmRepairPreview(QWidget* parent = nullptr);
    ~TfrmRepairPreview() override;

    // `summary` above the list; `list` is HTML where changed bytes are in
    // <span class="changed">. Write Headers is offered when `canWrite`.
    void Show(const QString& summary, const QString& list, bool canWrite);
    // The list as plain text.
    QString Listing() const;

private:
    std::unique_ptr<Ui::TfrmRepairPreview> ui;
};
