#include "RepairPreview.h"

#include "ui_RepairPreview.h"

#include <QPushButton>

TfrmRepairPreview::TfrmRepairPreview(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TfrmRepairPreview>()) {
    ui->setupUi(this);
    ui->btnsPreview->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Write Headers"));
    ui->btnsPreview->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("&Cancel"));
    connect(ui->btnsPreview, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(ui->btnsPreview, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // Changed bytes in the scheme's selection colours: readable light or dark.
    const QPalette colours = palette();
    ui->txtPreview->document()->setDefaultStyleSheet(
        QString(".changed { background-color: %1; color: %2; }")
            .arg(colours.color(QPalette::Highlight).name(),
                 colours.color(QPalette::HighlightedText).name()));
    const QFontMetrics metrics(font());
    resize(QSize(metrics.averageCharWidth() * 110, metrics.height() * 32));
}

TfrmRepairPreview::~TfrmRepairPreview() = default;

void TfrmRepairPreview::Show(const QString& summary, const QString& list, bool canWrite) {
    ui->lblSummary->setText(summary);
    ui->txtPreview->setHtml(list);
    QPushButton* write = ui->btnsPreview->button(QDialogButtonBox::Ok);
    write->setEnabled(canWrite);
    (canWrite ? write : ui->btnsPreview->button(QDialogButtonBox::Cancel))->setDefault(true);
}

QString TfrmRepairPreview::Listing() const {
    return ui->lblSummary->text() + '\n' + ui->txtPreview->toPlainText();
}
