#include "window_driver.h"

#include <QFileInfo>
#include <QListWidget>
#include <QTest>

namespace skelvane::ui::testing {

OpenFileResult ScriptedDialogs::openFile(QWidget*, const OpenFileRequest& request) {
    requests.push_back(request);
    if (answers.empty()) return {};
    OpenFileResult answer = answers.front();
    answers.pop_front();
    return answer;
}

void ScriptedDialogs::showMessage(QWidget*, const QString& text, const QString& title) {
    messages << title + ": " + text;
}

Window::Window() {
    auto scripted = std::make_unique<ScriptedDialogs>();
    dialogs = scripted.get();
    form = std::make_unique<Form1>(std::move(scripted));
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get())) throw std::runtime_error("window not shown");
}

void addSource(Window& window, const QString& fullPath) {
    window.dialogs->answers.push_back({true, fullPath, QFileInfo(fullPath).fileName()});
    clickCentre(window.control("Command1"));
}

QStringList texts(const QListWidget& list) {
    QStringList all;
    for (int row = 0; row < list.count(); ++row) all << list.item(row)->text();
    return all;
}

void clickRow(QListWidget& list, int row) {
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                      list.visualItemRect(list.item(row)).center());
}

void doubleClickRow(QListWidget& list, int row) {
    const QPoint centre = list.visualItemRect(list.item(row)).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, centre);
    QTest::mousePress(list.viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseRelease(list.viewport(), Qt::LeftButton, {}, centre);
}

void clickCentre(QWidget& widget) {
    QTest::mouseClick(&widget, Qt::LeftButton, {}, widget.rect().center());
}

}  // namespace skelvane::ui::testing
