#include "Platform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPalette>
#include <QPushButton>
#include <QStyleFactory>
#include <QWidget>

#include <algorithm>
#include <climits>
#include <cmath>
#include <dirent.h>
#include <utility>

namespace platform {

namespace {

// Longest stretch of a refused entry quoted back to the user.
constexpr int quoteLength = 40;

} // namespace

void initializeApplication() {
    QApplication::setApplicationName(QStringLiteral("Tallowick"));
    QApplication::setApplicationVersion(QStringLiteral(TALLOWICK_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.tallowick.Tallowick"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setFont(classicFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont)));
}

QFont classicFont(const QFont& desktop) {
    // Desktops set 9 to 11 points as their usual size; the classic look is
    // 8 points of a sans with the classic Windows metrics (Liberation Sans).
    constexpr double classicSize = 8, usualDesktopSize = 11;
    const double size = desktop.pointSizeF() > 0  ? desktop.pointSizeF()
                        : desktop.pixelSize() > 0 ? desktop.pixelSize() * 72.0 / 96.0
                                                  : usualDesktopSize;
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(std::max(classicSize, classicSize * size / usualDesktopSize));
    return font;
}

double fontGrowth(const QFont& font) {
    const QFontMetricsF classic(classicFont(QFont()));
    return std::max(1.0, QFontMetricsF(font).height() / classic.height());
}

void growLayout(QLayout* layout, double growth) {
    const auto grown = [growth](int pixels) {
        return pixels >= QWIDGETSIZE_MAX ? pixels : int(std::lround(pixels * growth));
    };
    if (auto* grid = qobject_cast<QGridLayout*>(layout)) {
        for (int column = 0; column < grid->columnCount(); ++column) {
            grid->setColumnMinimumWidth(column, grown(grid->columnMinimumWidth(column)));
        }
        for (int row = 0; row < grid->rowCount(); ++row) {
            grid->setRowMinimumHeight(row, grown(grid->rowMinimumHeight(row)));
        }
    }
    for (int index = 0; index < layout->count(); ++index) {
        QLayoutItem* item = layout->itemAt(index);
        if (QWidget* widget = item->widget()) {
            const QSize low = widget->minimumSize(), high = widget->maximumSize();
            widget->setMinimumSize(grown(low.width()), grown(low.height()));
            widget->setMaximumSize(grown(high.width()), grown(high.height()));
        } else if (QLayout* inner = item->layout()) {
            growLayout(inner, growth);
        }
    }
}

QString quoted(const QString& text) {
    if (text.size() <= quoteLength) {
        return "'" + text + "'";
    }
    return "'" + text.left(quoteLength) + QChar(0x2026) + "' (" + QString::number(text.size()) +
           " characters)";
}

QString sentenceStart(QString text) {
    if (!text.isEmpty() && !(text.size() > 1 && text[1].isUpper())) {
        text[0] = text[0].toUpper();
    }
    return text;
}

Number parseInteger(const QString& text) {
    Number refused{false, 0, quoted(text) + " is not a valid integer value"};
    const QString trimmed = text.trimmed();
    int at = 0;
    bool negative = false;
    if (at < trimmed.size() && (trimmed[at] == '+' || trimmed[at] == '-')) {
        negative = trimmed[at] == '-';
        ++at;
    }
    if (at == trimmed.size()) {
        return refused;
    }
    long long value = 0;
    for (; at < trimmed.size(); ++at) {
        const QChar c = trimmed[at];
        if (c < '0' || c > '9') {
            return refused;
        }
        value = value * 10 + (c.unicode() - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) {
            return refused;
        }
    }
    value = negative ? -value : value;
    if (value > INT_MAX) {
        return refused;
    }
    return {true, static_cast<int>(value), QString()};
}

Number parseInteger(const QString& text, int low, int high) {
    Number number = parseInteger(text);
    if (number.ok && (number.value < low || number.value > high)) {
        return {false, 0,
                quoted(text) +
                    QString(" is out of range: enter a number from %1 to %2.").arg(low).arg(high)};
    }
    return number;
}

const QString nameNotExact = QStringLiteral(
    "The file's name holds bytes that are not valid characters, and another file in\nits "
    "folder reads the same, so the file cannot be told apart. Rename it and try again.");

QString headerHex(const CartridgeHeader& bytes) {
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()))
            .toHex(' ')
            .toUpper());
}

std::optional<QByteArray> systemPath(const QString& name) {
    if (!name.contains(QChar::ReplacementCharacter)) {
        return QFile::encodeName(name);
    }
    QByteArray resolved = name.startsWith('/') ? QByteArray("/") : QByteArray();
    for (const QString& part : name.split('/', Qt::SkipEmptyParts)) {
        QByteArray spelled = QFile::encodeName(part);
        if (part.contains(QChar::ReplacementCharacter)) {
            std::vector<QByteArray> matches;
            const QByteArray folder = resolved.isEmpty() ? QByteArray(".") : resolved;
            if (DIR* entries = ::opendir(folder.constData())) {
                while (const dirent* entry = ::readdir(entries)) {
                    if (QFile::decodeName(entry->d_name) == part) {
                        matches.emplace_back(entry->d_name);
                    }
                }
                ::closedir(entries);
            }
            if (matches.size() > 1) {
                return std::nullopt;
            }
            if (matches.size() == 1) {
                spelled = matches.front();
            }
        }
        if (!resolved.isEmpty() && !resolved.endsWith('/')) {
            resolved += '/';
        }
        resolved += spelled;
    }
    return resolved;
}

QList<QWidget*> tabChain(QWidget* first, const QWidget* within, const QWidget* skip) {
    QList<QWidget*> chain;
    QWidget* next = first;
    do {
        if (within->isAncestorOf(next) && (skip == nullptr || !skip->isAncestorOf(next)) &&
            (next->focusPolicy() & Qt::TabFocus) != 0) {
            chain << next;
        }
        next = next->nextInFocusChain();
    } while (next != first);
    return chain;
}

void markDisplayOnly(QLineEdit* box) {
    // The classic active-border grey behind the scheme's text where that
    // reads (light schemes); the scheme's button colours elsewhere (dark ones).
    QPalette shade = box->palette();
    const QColor grey(0xD4, 0xD0, 0xC8);
    const QColor text = shade.color(QPalette::Active, QPalette::Text);
    const bool classic = contrast(grey, text) >= 4.5;
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        shade.setColor(group, QPalette::Base,
                       classic ? grey : shade.color(QPalette::Active, QPalette::Button));
        shade.setColor(group, QPalette::Text,
                       classic ? text : shade.color(QPalette::Active, QPalette::ButtonText));
    }
    box->setPalette(shade);
}

double contrast(const QColor& one, const QColor& other) {
    // Relative luminance of sRGB colours, and their ratio (1 to 21).
    auto luminance = [](const QColor& colour) {
        auto linear = [](double c) {
            return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
               0.0722 * linear(colour.blueF());
    };
    const double a = luminance(one) + 0.05;
    const double b = luminance(other) + 0.05;
    return a > b ? a / b : b / a;
}

QColor verdictColour(int level, const QPalette& palette) {
    // Each verdict's colour on a light window and on a dark one.
    struct Pair {
        QRgb light, dark;
    };
    constexpr Pair colours[] = {{0xB00000, 0xFF8080}, {0x9A5B00, 0xF0B040}, {0x007020, 0x60D080}};
    const Pair& pair = colours[std::clamp(level, 0, 2)];
    const QColor window = palette.color(QPalette::Window);
    const QColor light(pair.light);
    const QColor dark(pair.dark);
    if (contrast(light, window) >= 4.5) {
        return light;
    }
    if (contrast(dark, window) >= 4.5) {
        return dark;
    }
    return palette.color(QPalette::WindowText);
}

void showText(QLineEdit* box, const QString& text) {
    box->setText(text);
    box->setCursorPosition(0);
    const int room = box->contentsRect().width() - 4;
    box->setToolTip(box->fontMetrics().horizontalAdvance(text) > room ? text : QString());
}

QString hexText(int value, int digits) {
    return QString::number(static_cast<unsigned>(value), 16).toUpper().rightJustified(digits, '0');
}

namespace {

// Eats Escape and the close box's request.
class EscapeBlocker : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close ||
            (event->type() == QEvent::KeyPress &&
             static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)) {
            event->ignore();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

Answer DialogPrompts::message(const QString& text, const QString& caption, Buttons buttons) {
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    // Each button of a kind of box, with the answer it gives.
    struct Choice {
        Buttons buttons;
        QMessageBox::StandardButton button;
        const char* label; // when not Qt's own
        Answer answer;
    };
    static const Choice choices[] = {
        {Buttons::ok, QMessageBox::Ok, nullptr, Answer::ok},
        {Buttons::yesNo, QMessageBox::Yes, nullptr, Answer::yes},
        {Buttons::yesNo, QMessageBox::No, nullptr, Answer::no},
        {Buttons::yesNoCancel, QMessageBox::Yes, nullptr, Answer::yes},
        {Buttons::yesNoCancel, QMessageBox::No, nullptr, Answer::no},
        {Buttons::yesNoCancel, QMessageBox::Cancel, nullptr, Answer::cancel},
        {Buttons::overwriteReload, QMessageBox::Save, "Overwrite", Answer::overwrite},
        {Buttons::overwriteReload, QMessageBox::Discard, "Reload", Answer::reload},
        {Buttons::overwriteReload, QMessageBox::Cancel, nullptr, Answer::cancel},
    };
    for (const Choice& choice : choices) {
        if (choice.buttons == buttons) {
            QAbstractButton* added = box.addButton(choice.button);
            if (choice.label != nullptr) {
                added->setText(QString::fromLatin1(choice.label));
            }
        }
    }
    // A Yes/No box has no way out but its buttons: Escape and the close box
    // do nothing, so that no answer is taken for No by accident.
    EscapeBlocker blocker;
    if (buttons == Buttons::yesNo) {
        box.installEventFilter(&blocker);
    }
    box.exec();
    const QAbstractButton* pressed = box.clickedButton();
    for (const Choice& choice : choices) {
        if (choice.buttons == buttons && pressed == box.button(choice.button)) {
            return choice.answer;
        }
    }
    // Closed without a button: Escape, or the title bar's close box.
    return buttons == Buttons::ok ? Answer::ok : Answer::cancel;
}

bool DialogPrompts::chooseFile(const QString& title, const QString& filter, QString& fileName) {
    QFileDialog dialog(QApplication::activeWindow(), title, fileName, filter);
    // Qt's own dialog looks and behaves the same on every desktop.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // A typed name that names no file is accepted, and the load reports it.
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!fileName.isEmpty()) {
        dialog.selectFile(fileName);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return false;
    }
    fileName = dialog.selectedFiles().constFirst();
    return true;
}

bool DialogPrompts::chooseFolder(const QString& title, QString& folder) {
    QFileDialog dialog(QApplication::activeWindow(), title, folder);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return false;
    }
    folder = dialog.selectedFiles().constFirst();
    return true;
}

bool DialogPrompts::confirm(QDialog& dialog) {
    return dialog.exec() == QDialog::Accepted;
}

void DialogPrompts::showError(const QString& message) {
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), message,
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

FileChooser::FileChooser(Prompts& prompts, QString title, QString filter)
    : prompts(prompts), title(std::move(title)), filter(std::move(filter)) {}

bool FileChooser::choose() {
    QString picked = chosen;
    if (!prompts.chooseFile(title, filter, picked)) {
        return false;
    }
    chosen = picked;
    return true;
}

ControlEvents::ControlEvents(Prompts& prompts, QObject* parent)
    : QObject(parent), prompts(prompts) {}

ControlEvents::Handlers& ControlEvents::handlersOf(QWidget* control) {
    auto found = handlers.find(control);
    if (found == handlers.end()) {
        control->installEventFilter(this);
        found = handlers.emplace(control, Handlers{}).first;
    }
    return found->second;
}

void ControlEvents::onEnter(QWidget* control, Handler handler) {
    handlersOf(control).enter.push_back(std::move(handler));
}

void ControlEvents::onExit(QWidget* control, Handler handler) {
    handlersOf(control).exit.push_back(std::move(handler));
}

void ControlEvents::onClick(QWidget* control, Handler handler) {
    handlersOf(control).click.push_back(std::move(handler));
}

void ControlEvents::run(const Handler& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        prompts.showError(QString::fromStdString(error.what()));
    } catch (...) {
        prompts.showError(QStringLiteral("An unexpected error occurred."));
    }
}

namespace {

// Focus that comes from or goes to another window, a menu or a popup is not
// a move between the controls of one window.
bool movesWithinWindow(const QFocusEvent* event) {
    const Qt::FocusReason reason = event->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
           reason != Qt::MenuBarFocusReason;
}

} // namespace

bool ControlEvents::eventFilter(QObject* watched, QEvent* event) {
    auto found = handlers.find(watched);
    if (found == handlers.end()) {
        return false;
    }
    const Handlers& own = found->second;
    switch (event->type()) {
    case QEvent::FocusIn: {
        // Let the control take the focus first, so that the handler has the
        // last word on what the window shows (a grid that selects its current
        // cell on entry, an edit box that selects its text).
        auto* widget = static_cast<QWidget*>(watched);
        static_cast<QObject*>(widget)->event(event);
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            edit->deselect();
        }
        if (movesWithinWindow(static_cast<QFocusEvent*>(event))) {
            for (const Handler& handler : own.enter) {
                run(handler);
            }
        }
        return true;
    }
    case QEvent::FocusOut:
        // A control the window has just disabled (another file loaded, Free,
        // the header converted) is not left by the user: what it holds is dropped.
        if (static_cast<QWidget*>(watched)->isEnabled() &&
            movesWithinWindow(static_cast<QFocusEvent*>(event))) {
            const std::vector<Handler> exit = own.exit;
            for (const Handler& handler : exit) {
                run(handler);
            }
        }
        return false;
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        auto* widget = static_cast<QWidget*>(watched);
        // A disabled control sees the mouse but is not clicked.
        if (widget->isEnabled() && mouse->button() == Qt::LeftButton &&
            widget->rect().contains(mouse->position().toPoint())) {
            for (const Handler& handler : own.click) {
                run(handler);
            }
        }
        return false;
    }
    default:
        return false;
    }
}

} // namespace platform
