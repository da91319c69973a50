// Tallowick: views and edits the 16-byte header of iNES cartridge images.
#include "Gui.h"
#include "Platform.h"

#include <QApplication>

#include <memory>

int main(int argc, char* argv[]) {
    std::unique_ptr<QApplication> application;
    platform::DialogPrompts prompts;
    try {
        application = std::make_unique<QApplication>(argc, argv);
        platform::initializeApplication();

        ApplicationForms forms(prompts);
        frmMain->show();
        QApplication::exec();
    } catch (const std::exception& error) {
        if (application) {
            prompts.showError(QString::fromStdString(error.what()));
        }
    } catch (...) {
        if (application) {
            prompts.showError(QString());
        }
    }
    return 0;
}
