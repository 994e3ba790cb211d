#pragma once

#include <deque>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <QStringList>

#include "support/test_files.h"
#include "ui/dialogs.h"
#include "ui/form1.h"

class QListWidget;
class QMenu;
class QMimeData;

namespace skelvane::ui::testing {

/// Dialogs answered by the test: open-file answers come from a queue (empty: cancelled), and
/// every request and message is recorded.
class ScriptedDialogs final : public Dialogs {
public:
    QStringList openFiles(QWidget* parent, const OpenFileRequest& request) override;
    void showMessage(QWidget* parent, const QString& text, const QString& title) override;
    void showJoints(QWidget* parent, const JointsRequest& request) override;

    std::deque<QStringList> answers;
    std::vector<OpenFileRequest> requests;
    /// Each message as "title: text".
    QStringList messages;
    std::vector<JointsRequest> joints;
};

/// The one way in to the window's insides that real events cannot reach: the job list (for
/// flag values no event writes) and the diagram's refresh.
struct Form1Access {
    static joblist::JobList& jobs(Form1& form) { return form.jobs_; }
    static void SetSelection(Form1& form) { form.SetSelection(); }
};

/// A shown window whose dialogs the test answers, with a folder for its source files.
struct Window {
    Window();
    /// Creates an empty file of that name in the window's folder and returns its path.
    QString source(const QString& name) const;
    /// The control with the given object name; throws when there is none.
    template <typename T = QWidget>
    T& control(const std::string& name) const {
        T* widget = form->findChild<T*>(QString::fromStdString(name));
        if (widget == nullptr) throw std::runtime_error("no control " + name);
        return *widget;
    }

    skelvane::testing::TempFolder folder;
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
/// Right-clicks a row (or, for -1, below the rows) as the window system delivers it, to the
/// window, which also turns the press into a context-menu request; returns the menu it opened.
/// Throws when none opened.
QMenu& openRowMenu(QListWidget& list, int row);
/// Clicks a menu's entry; throws when the menu has no entry of that text.
void choose(QMenu& menu, const QString& entry);
/// Clicks a widget at its centre.
void clickCentre(QWidget& widget);
/// Drags data from outside onto the window, at the centre of one of its controls, and drops it
/// there, handing the window the events the window system hands it; returns the action the drop
/// was taken with, or Qt::IgnoreAction when it was refused.
Qt::DropAction dropOn(QWidget& control, const QMimeData& data,
                      Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction);

}  // namespace skelvane::ui::testing
