#include "GuiHarness.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include <algorithm>

namespace harness {

platform::Answer ScriptedPrompts::message(const QString& text, const QString& caption,
                                          platform::Buttons buttons) {
    boxes.push_back({text, caption, buttons});
    if (buttons == platform::Buttons::ok) {
        return platform::Answer::ok;
    }
    if (answers.empty()) {
        return buttons == platform::Buttons::yesNo ? platform::Answer::no
                                                   : platform::Answer::cancel;
    }
    const platform::Answer answer = answers.front();
    answers.pop_front();
    return answer;
}

bool ScriptedPrompts::chooseFile(const QString& title, const QString& filter, QString& fileName) {
    lastTitle = title;
    lastFilter = filter;
    if (files.empty()) {
        return false;
    }
    fileName = files.front();
    files.pop_front();
    return true;
}

void ScriptedPrompts::showError(const QString& message) {
    errors.push_back(message);
}

Window::Window() : main(std::make_unique<TfrmMain>(prompts)) {
    frmMain = main.get();
    main->show();
    activate();
    // The NES 2.0 and Check areas come just after the first paint.
    QTRY_VERIFY(main->findChild<QWidget*>("lstFindings") != nullptr);
}

Window::~Window() {
    frmMain = nullptr;
}

void Window::activate() {
    main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(main.get()));
}

QLineEdit* Window::edit(const char* name) {
    return main->findChild<QLineEdit*>(name);
}
QCheckBox* Window::check(const char* name) {
    return main->findChild<QCheckBox*>(name);
}
QComboBox* Window::combo(const char* name) {
    return main->findChild<QComboBox*>(name);
}
QPushButton* Window::apply() {
    return main->findChild<QPushButton*>("btnApply");
}
QTableWidget* Window::grid() {
    return main->findChild<QTableWidget*>("sgdHeader");
}
QAction* Window::action(const char* name) {
    return main->findChild<QAction*>(name);
}

void Window::load(const QString& path) {
    prompts.files.push_back(path);
    menu("mnuLoad");
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

void Window::menu(const char* name) {
    action(name)->trigger();
    QApplication::processEvents();
}

void Window::focus(QWidget* control) {
    QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(4, control->height() / 2));
    QApplication::processEvents();
}

void Window::type(QLineEdit* box, const QString& text) {
    focus(box);
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
}

void Window::tab() {
    QWidget* from = QApplication::focusWidget();
    QTest::keyClick(from != nullptr ? from : main.get(), Qt::Key_Tab);
    QApplication::processEvents();
}

void Window::commit(QLineEdit* box, const QString& text) {
    type(box, text);
    tab();
}

void Window::toggle(QCheckBox* box) {
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    QApplication::processEvents();
}

void Window::choose(int index, const char* list) {
    QComboBox* box = combo(list);
    focus(box); // opens the list
    if (!box->view()->isVisible()) {
        box->showPopup();
    }
    QAbstractItemView* view = box->view();
    view->setCurrentIndex(box->model()->index(index, 0));
    QTest::keyClick(view, Qt::Key_Return);
    QApplication::processEvents();
}

void Window::closeWindow() {
    main->close();
    QApplication::processEvents();
}

QString Window::cell(int column, int row) {
    return grid()->item(row, column)->text();
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

QStringList expectedCells(const CartridgeHeader& bytes) {
    QStringList cells;
    for (std::uint8_t byte : bytes) {
        cells << QString("%1").arg(byte, 2, 16, QChar('0')).toUpper();
    }
    return cells;
}

} // namespace harness
