#pragma once

#include <deque>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <QStringList>

#include "ui/dialogs.h"
#include "ui/form1.h"

class QListWidget;

namespace skelvane::ui::testing {

/// Dialogs answered by the test: open-file answers come from a queue (empty: cancelled), and
/// every request and message is recorded.
class ScriptedDialogs final : public Dialogs {
public:
    OpenFileResult openFile(QWidget* parent, const OpenFileRequest& request) override;
    void showMessage(QWidget* parent, const QString& text, const QString& title) override;

    std::deque<OpenFileResult> answers;
    std::vector<OpenFileRequest> requests;
    /// Each message as "title: text".
    QStringList messages;
};

/// The one way in to the window's insides that real events cannot reach: the job list (for
/// flag values no event writes) and the diagram's refresh.
struct Form1Access {
    static joblist::JobList& jobs(Form1& form) { return form.jobs_; }
    static void SetSelection(Form1& form) { form.SetSelection(); }
};

/// A shown window whose dialogs the test answers.
struct Window {
    Window();
    /// The control with the given object name; throws when there is none.
    template <typename T = QWidget>
    T& control(const std::string& name) const {
        T* widget = form->findChild<T*>(QString::fromStdString(name));
        if (widget == nullptr) throw std::runtime_error("no control " + name);
        return *widget;
    }

    ScriptedDialogs* dialogs;
    std::unique_ptr<Form1> form;
};

/// Adds a source through the window's "Open Source..." button, the dialog choosing the path.
void addSource(Window& window, const QString& fullPath);
/// The texts of a list's rows.
QStringList texts(const QListWidget& list);
/// Clicks the centre of a list's row on its viewport.
void clickRow(QListWidget& list, int row);
/// Double-clicks a row as Qt delivers a real double click: press, release, press, double
/// click, release.
void doubleClickRow(QListWidget& list, int row);
/// Clicks a widget at its centre.
void clickCentre(QWidget& widget);

}  // namespace skelvane::ui::testing
