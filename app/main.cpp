// Tallowick: views and edits the 16-byte header of iNES cartridge images.
#include "Format.h"
#include "Gui.h"
#include "Platform.h"

#include <QApplication>

#include <memory>

int main(int argc, char* argv[]) {
    std::unique_ptr<QApplication> application;
    vcl::DialogPrompts prompts;
    try {
        application = std::make_unique<QApplication>(argc, argv);
        vcl::ApplicationInitialize();

        auto mainWindow = std::make_unique<TfrmMain>(prompts);
        frmMain = mainWindow.get();
        auto formatWindow = std::make_unique<TfrmFormatInfo>();
        frmFormatInfo = formatWindow.get();

        frmMain->show();
        QApplication::exec();

        frmFormatInfo = nullptr;
        frmMain = nullptr;
    } catch (const std::exception& error) {
        if (application) {
            prompts.ShowException(QString::fromStdString(error.what()));
        }
    } catch (...) {
        if (application) {
            prompts.ShowException(QString());
        }
    }
    return 0;
}
