#pragma once

#include <deque>
#include <memory>
#include <stdexcept>
#include <vector>

#include <QPoint>
#include <QString>

#include "ui/dialogs.h"
#include "ui/form1.h"

class QListWidget;
class QWidget;

namespace skelvane::ui::testing {

/// Dialogs answered by the test: open-file answers are taken from a queue (an empty queue
/// cancels), and every request and message is recorded.
class ScriptedDialogs final : public Dialogs {
public:
    struct Message {
        QString text;
        QString title;
    };

    OpenFileResult openFile(QWidget* parent, const OpenFileRequest& request) override;
    void showMessage(QWidget* parent, const QString& text, const QString& title) override;

    std::deque<OpenFileResult> answers;
    std::vector<OpenFileRequest> requests;
    std::vector<Message> messages;
};

/// A shown window with scripted dialogs.
struct Window {
    Window();
    /// The control with the given object name; fails the test when it is missing.
    template <typename T = QWidget>
    T& control(const char* name) const;

    ScriptedDialogs* dialogs;
    std::unique_ptr<Form1> form;
};

template <typename T>
T& Window::control(const char* name) const {
    T* widget = form->findChild<T*>(QString::fromLatin1(name));
    if (widget == nullptr) throw std::runtime_error(std::string("no control ") + name);
    return *widget;
}

/// Adds a source through the window's own "Open Source..." button and dialog.
void addSource(Window& window, const QString& fullPath);
/// Clicks the centre of a row of a list, on its viewport.
void clickRow(QListWidget& list, int row);
/// Double-clicks a row as a real mouse does: a click, then a press that Qt delivers as a press
/// followed by a double click, then the release.
void doubleClickRow(QListWidget& list, int row);
/// Clicks a widget at its centre.
void clickCentre(QWidget& widget);

}  // namespace skelvane::ui::testing
