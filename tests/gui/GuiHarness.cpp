#include "GuiHarness.h"

#include <algorithm>
#include <map>
#include <vector>

namespace harness {

using platform::Answer;

Answer ScriptedPrompts::message(const QString& text, const QString& caption,
                                platform::Buttons buttons) {
    boxes << caption + ": " + text;
    if (buttons == platform::Buttons::ok || answers.empty()) {
        return buttons == platform::Buttons::ok      ? Answer::ok
               : buttons == platform::Buttons::yesNo ? Answer::no
                                                     : Answer::cancel;
    }
    const Answer answer = answers.takeFirst();
    static const std::map<platform::Buttons, std::vector<Answer>> offered = {
        {platform::Buttons::yesNo, {Answer::yes, Answer::no}},
        {platform::Buttons::yesNoCancel, {Answer::yes, Answer::no, Answer::cancel}},
        {platform::Buttons::overwriteReload, {Answer::overwrite, Answer::reload, Answer::cancel}}};
    const std::vector<Answer>& buttonsShown = offered.at(buttons);
    if (std::find(buttonsShown.begin(), buttonsShown.end(), answer) == buttonsShown.end()) {
        errors << "answered with a button the box does not have: " + caption;
    }
    return answer;
}

bool ScriptedPrompts::chooseFile(const QString&, const QString&, QString& fileName) {
    if (files.empty()) {
        return false;
    }
    fileName = files.takeFirst();
    return true;
}

bool ScriptedPrompts::confirm(QDialog& dialog) {
    QString text;
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        text += label->text() + "\n";
    }
    for (const QTextEdit* list : dialog.findChildren<QTextEdit*>()) {
        text += list->toPlainText();
        QStringList marked;
        const QRegularExpression hexByte("^[0-9A-F]{2}$");
        for (QTextBlock block = list->document()->begin(); block.isValid(); block = block.next()) {
            for (auto part = block.begin(); !part.atEnd(); ++part) {
                if (part.fragment().charFormat().fontWeight() >= QFont::Bold &&
                    hexByte.match(part.fragment().text()).hasMatch()) {
                    marked << part.fragment().text();
                }
            }
        }
        text += "\nmarked: " + marked.join(' ');
    }
    for (const QPushButton* button : dialog.findChildren<QPushButton*>()) {
        text += button->isDefault() ? "\ndefault: " + button->text() : QString();
        text += button->isEnabled() ? QString() : "\ndisabled: " + button->text();
    }
    boxes << dialog.windowTitle() + ": " + text;
    if (beforeConfirming) {
        beforeConfirming();
    }
    // Answered with the dialog's own buttons, as a user does.
    const bool yes = !answers.empty() && answers.takeFirst() == Answer::yes;
    auto* buttons = dialog.findChild<QDialogButtonBox*>();
    dialog.setResult(-1); // neither, until a button does its work
    buttons->button(yes ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
    if (dialog.result() == -1) {
        errors << "the button did nothing: " + dialog.windowTitle();
    }
    return dialog.result() == QDialog::Accepted;
}

Window::Window() : main(std::make_unique<TfrmMain>(prompts)) {
    frmMain = main.get();
    main->show();
    main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(main.get()));
    // The NES 2.0 and Check areas come just after the first paint.
    QTRY_VERIFY(main->findChild<QWidget*>("lstFindings") != nullptr);
}

void Window::drop(const QByteArray& path) {
    QMimeData data;
    data.setUrls({QUrl::fromEncoded("file://" + path.toPercentEncoding("/"))});
    const QPoint at = main->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(main.get(), &enter);
    QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    if (enter.isAccepted()) {
        QApplication::sendEvent(main.get(), &dropped);
    }
    QApplication::processEvents();
}

void Window::click(QWidget* control) {
    QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(6, control->height() / 2));
    QApplication::processEvents();
}

void Window::type(QLineEdit* box, const QString& text) {
    click(box);
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
}

void Window::tab() {
    QWidget* from = QApplication::focusWidget();
    QTest::keyClick(from != nullptr ? from : main.get(), Qt::Key_Tab);
    QApplication::processEvents();
}

void Window::choose(int index, const char* list) {
    QComboBox* box = combo(list);
    click(box); // opens the list
    QVERIFY(box->view()->isVisible());
    box->view()->setCurrentIndex(box->model()->index(index, 0));
    QTest::keyClick(box->view(), Qt::Key_Return);
    QApplication::processEvents();
}

QStringList Window::byteCells() {
    QStringList cells;
    for (int index = 0; index < 16; ++index) {
        const int k = index % 8;
        cells << cell(k < 4 ? k + 1 : k + 2, index / 8);
    }
    return cells;
}

QStringList Window::highlighted() {
    QStringList cells;
    for (const QModelIndex& index : grid()->selectionModel()->selectedIndexes()) {
        cells << QString("%1,%2").arg(index.column()).arg(index.row());
    }
    std::sort(cells.begin(), cells.end());
    return cells;
}

} // namespace harness
