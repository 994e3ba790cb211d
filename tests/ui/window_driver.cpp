#include "window_driver.h"

#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace skelvane::ui::testing {

OpenFileResult ScriptedDialogs::openFile(QWidget* /*parent*/, const OpenFileRequest& request) {
    requests.push_back(request);
    if (answers.empty()) return {};
    OpenFileResult answer = answers.front();
    answers.pop_front();
    return answer;
}

void ScriptedDialogs::showMessage(QWidget* /*parent*/, const QString& text, const QString& title) {
    messages.push_back({text, title});
}

Window::Window() {
    auto scripted = std::make_unique<ScriptedDialogs>();
    dialogs = scripted.get();
    form = std::make_unique<Form1>(std::move(scripted));
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get())) throw std::runtime_error("window not exposed");
}

void addSource(Window& window, const QString& fullPath) {
    window.dialogs->answers.push_back({true, fullPath, QFileInfo(fullPath).fileName()});
    clickCentre(window.control<QPushButton>("Command1"));
}

void clickRow(QListWidget& list, int row) {
    const QPoint centre = list.visualItemRect(list.item(row)).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, centre);
}

void doubleClickRow(QListWidget& list, int row) {
    const QPoint centre = list.visualItemRect(list.item(row)).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, centre);
    QTest::mousePress(list.viewport(), Qt::LeftButton, Qt::NoModifier, centre);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, centre);
    QTest::mouseRelease(list.viewport(), Qt::LeftButton, Qt::NoModifier, centre);
}

void clickCentre(QWidget& widget) {
    QTest::mouseClick(&widget, Qt::LeftButton, Qt::NoModifier, widget.rect().center());
}

}  // namespace skelvane::ui::testing
