#include "window_driver.h"

#include <QApplication>
#include <QDropEvent>
#include <QHelpEvent>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QTextDocument>
#include <QToolTip>
#include <QWindow>

#include "ui/background_run.h"

namespace skelvane::ui::testing {

bool Form1Access::isRunning(const Form1& form) {
    return form.run_->isRunning();
}

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

void JobRows::addSources(int count) {
    for (int i = 0; i < count; ++i) addSource(window, window.source(QString("take%1.bvh").arg(i)));
}

std::vector<int> JobRows::selectedRows() const {
    return {List1.selectedRow(), List2.selectedRow(), List3.selectedRow()};
}

void JobRows::type(const QString& text) {
    clickCentre(Text1);
    QTest::keyClick(&Text1, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&Text1, Qt::Key_Backspace);
    QTest::keyClicks(&Text1, text);
}

void JobRows::activate() {
    window.form->activateWindow();
    if (!QTest::qWaitForWindowActive(window.form.get())) {
        throw std::runtime_error("window not active");
    }
}

QStringList enabledEntries(const QMenu& menu) {
    QStringList entries;
    for (const QAction* action : menu.actions()) {
        if (action->isEnabled() && !action->isSeparator()) entries << action->text();
    }
    return entries;
}

QStringList texts(const ListBox& list) {
    QStringList all;
    const QAbstractItemModel& model = *list.model();
    for (int row = 0; row < model.rowCount(); ++row) {
        all << model.index(row, list.modelColumn()).data().toString();
    }
    return all;
}

void clickRow(ListBox& list, int row) {
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.rowRect(row).center());
}

void doubleClickRow(ListBox& list, int row) {
    const QPoint centre = list.rowRect(row).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, centre);
    QTest::mousePress(list.viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseRelease(list.viewport(), Qt::LeftButton, {}, centre);
}

QMenu& openRowMenu(ListBox& list, int row) {
    const QPoint at =
        row >= 0 ? list.rowRect(row).center() : QPoint(6, list.viewport()->height() - 6);
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
        waitForWork();
        return;
    }
    throw std::runtime_error("no entry " + entry.toStdString());
}

QMenu& openSubmenu(QMenu& menu, const QString& entry) {
    for (QAction* action : menu.actions()) {
        if (action->text() == entry) menu.setActiveAction(action);
    }
    QTest::keyClick(&menu, Qt::Key_Right);
    auto* submenu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (submenu == nullptr || submenu == &menu) throw std::runtime_error("no submenu opened");
    return *submenu;
}

void chooseMapping(ListBox& list, int row, const QString& entry) {
    choose(openSubmenu(openRowMenu(list, row), "Mapping"), entry);
}

QString toolTipAt(QWidget& widget, const QPoint& at) {
    QHelpEvent help(QEvent::ToolTip, at, widget.mapToGlobal(at));
    QCoreApplication::sendEvent(&widget, &help);
    const QString tip = QToolTip::text();
    QTextDocument shown;
    Qt::mightBeRichText(tip) ? shown.setHtml(tip) : shown.setPlainText(tip);
    return shown.toPlainText().remove(QChar(0x200B));
}

QString toolTipShown(ListBox& list, int row) {
    return toolTipAt(*list.viewport(), list.rowRect(row).center());
}

void clickCentre(QWidget& widget) {
    QTest::mouseClick(&widget, Qt::LeftButton, {}, widget.rect().center());
    waitForWork();
}

void waitForWork() {
    // Looked up afresh each time: events handled while waiting may delete top-level widgets.
    const auto working = [] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            const auto* form = qobject_cast<Form1*>(window);
            if (form != nullptr && Form1Access::isRunning(*form)) return true;
        }
        return false;
    };
    if (!QTest::qWaitFor([&] { return !working(); })) {
        throw std::runtime_error("the window's work did not end");
    }
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
