// Tallowick: views, checks and edits the 16-byte header of iNES and NES 2.0
// cartridge images. `tallowick FILE` opens FILE at start, as Load Rom would.
#include "Gui.h"
#include "Platform.h"

#include <QApplication>

#include <cstring>
#include <memory>

int main(int argc, char* argv[]) {
    std::unique_ptr<QApplication> application;
    platform::DialogPrompts prompts;
    try {
        // QApplication takes its own options (-style, -platform, ...) out of argv.
        application = std::make_unique<QApplication>(argc, argv);
        platform::initializeApplication();

        ApplicationForms forms(prompts);
        frmMain->show();
        // The file's name reaches the system byte for byte, as it was given.
        for (int at = 1; at < argc; ++at) {
            if (std::strcmp(argv[at], "--") != 0) {
                frmMain->LoadFile(QByteArray(argv[at]));
                break;
            }
        }
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
