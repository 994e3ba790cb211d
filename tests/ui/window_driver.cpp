#include "window_driver.h"

#include <QApplication>
#include <QDropEvent>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QWindow>

namespace skelvane::ui::testing {

QStringList ScriptedDialogs::openFiles(QWidget*, const OpenFileRequest& request) {
    requests.push_back(request);
    if (answers.empty()) return {};
    QStringList answer = answers.front();
    answers.pop_front();
    return answer;
}

void ScriptedDialogs::showMessage(QWidget*, const QString& text, const QString& title) {
    messages << title + ": " + text;
}

void ScriptedDialogs::showJoints(QWidget*, const JointsRequest& request) {
    joints.push_back(request);
}

Window::Window() {
    auto scripted = std::make_unique<ScriptedDialogs>();
    dialogs = scripted.get();
    form = std::make_unique<Form1>(std::move(scripted));
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get())) throw std::runtime_error("window not shown");
}

QString Window::source(const QString& name) const {
    const QString path = QString::fromStdString(folder.path().string()) + '/' + name;
    skelvane::testing::writeFile(path.toStdString(), "");
    return path;
}

void addSource(Window& window, const QString& fullPath) {
    window.dialogs->answers.push_back({fullPath});
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

QMenu& openRowMenu(QListWidget& list, int row) {
    const QPoint at = row >= 0 ? list.visualItemRect(list.item(row)).center()
                               : QPoint(6, list.viewport()->height() - 6);
    QTest::mouseClick(list.window()->windowHandle(), Qt::RightButton, {},
                      list.viewport()->mapTo(list.window(), at));
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (menu == nullptr) throw std::runtime_error("no menu opened");
    return *menu;
}

void choose(QMenu& menu, const QString& entry) {
    for (QAction* action : menu.actions()) {
        if (action->text() != entry) continue;
        QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(action).center());
        return;
    }
    throw std::runtime_error("no entry " + entry.toStdString());
}

void clickCentre(QWidget& widget) {
    QTest::mouseClick(&widget, Qt::LeftButton, {}, widget.rect().center());
}

// As the window system does: an enter, then the drop, or a leave when the enter was refused.
Qt::DropAction dropOn(QWidget& control, const QMimeData& data, Qt::DropActions offered) {
    QWindow* window = control.window()->windowHandle();
    const QPoint at = control.mapTo(control.window(), control.rect().center());
    QDragEnterEvent enter(at, offered, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(window, &enter);
    if (!enter.isAccepted()) {
        QDragLeaveEvent leave;
        QCoreApplication::sendEvent(window, &leave);
        return Qt::IgnoreAction;
    }
    QDropEvent drop(at, offered, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(window, &drop);
    return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
}

}  // namespace skelvane::ui::testing
