// Opens the collection window on FOLDER, as File > Open Folder... does
// without a header database, and prints when the first rows showed and when
// every image was listed (milliseconds from the start of the listing), and
// the number of rows:
//   benchCollection FOLDER
#include "Collection.h"
#include "Platform.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTableView>

#include <cstdio>

namespace {

// No box is expected; any would be a fault of the run.
class NoAnswers : public platform::Prompts {
public:
    platform::Answer message(const QString& text, const QString&, platform::Buttons) override {
        std::fprintf(stderr, "box: %s\n", qPrintable(text));
        return platform::Answer::ok;
    }
    bool chooseFile(const QString&, const QString&, QString&) override { return false; }
    bool chooseFolder(const QString&, QString&) override { return false; }
    bool confirm(QDialog&) override { return false; }
    void showError(const QString& message) override {
        std::fprintf(stderr, "error box: %s\n", qPrintable(message));
    }
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    platform::initializeApplication();
    if (argc != 2) {
        std::fprintf(stderr, "usage: benchCollection FOLDER\n");
        return 2;
    }
    NoAnswers prompts;
    TfrmCollection window(prompts, {});
    window.show();
    const QAbstractItemModel* rows =
        window.findChild<QTableView*>(QStringLiteral("tblImages"))->model();
    QElapsedTimer clock;
    clock.start();
    window.OpenFolder(QByteArray(argv[1]));
    qint64 first = -1;
    while (window.Reading()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (first < 0 && rows->rowCount() > 0) {
            first = clock.elapsed();
        }
    }
    std::printf("%lld %lld %d\n", static_cast<long long>(first),
                static_cast<long long>(clock.elapsed()), rows->rowCount());
    return 0;
}
