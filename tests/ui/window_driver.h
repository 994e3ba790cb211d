#pragma once

#include <deque>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QStringList>

#include "support/test_files.h"
#include "ui/dialogs.h"
#include "ui/form1.h"
#include "ui/list_box.h"

class QMenu;
class QMimeData;

/// Lets GoogleTest print texts as text.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

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
/// flag values no event writes), the diagram's refresh and whether work is going on off the
/// window's thread.
struct Form1Access {
    static joblist::JobList& jobs(Form1& form) { return form.jobs_; }
    static void SetSelection(Form1& form) { form.SetSelection(); }
    static bool isRunning(const Form1& form);
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

/// A shown window with its three lists and editor at hand.
struct JobRows : ::testing::Test {
    /// Adds take0.bvh, take1.bvh... (empty files) through "Open Source...".
    void addSources(int count);
    /// The selected row of List1, List2 and List3.
    std::vector<int> selectedRows() const;
    /// Replaces the editor's text as a user does: click into it, select all, type.
    void type(const QString& text);
    /// Makes the window the active one, where the window's own shortcuts act.
    void activate();

    Window window;
    ListBox& List1 = window.control<ListBox>("List1");
    ListBox& List2 = window.control<ListBox>("List2");
    ListBox& List3 = window.control<ListBox>("List3");
    QLineEdit& Text1 = window.control<QLineEdit>("Text1");
    const joblist::JobList& jobs = Form1Access::jobs(*window.form);
};

/// The texts of a menu's enabled entries, separators left out.
QStringList enabledEntries(const QMenu& menu);
/// The texts of a list's rows.
QStringList texts(const ListBox& list);
/// Clicks the centre of a list's row on its viewport.
void clickRow(ListBox& list, int row);
/// Double-clicks a row as Qt delivers a real double click: press, release, press, double
/// click, release.
void doubleClickRow(ListBox& list, int row);
/// Right-clicks a row (or, for -1, below the rows) as the window system delivers it, to the
/// window, which also turns the press into a context-menu request; returns the menu it opened.
/// Throws when none opened.
QMenu& openRowMenu(ListBox& list, int row);
/// Clicks a menu's entry, then waits for the work it started; throws when the menu has no entry
/// of that text.
void choose(QMenu& menu, const QString& entry);
/// Opens a menu's submenu from the keyboard, its entry made current and Right pressed, and
/// returns it; throws when none opened.
QMenu& openSubmenu(QMenu& menu, const QString& entry);
/// Chooses an entry of the Mapping submenu of a row's menu (-1: below the rows).
void chooseMapping(ListBox& list, int row, const QString& entry);
/// The tooltip a widget shows when the mouse rests at a point of it, as plain text without the
/// invisible breaks.
QString toolTipAt(QWidget& widget, const QPoint& at);
/// The tooltip a list's row shows.
QString toolTipShown(ListBox& list, int row);
/// Clicks a widget at its centre, then waits for the work it started (see waitForWork).
void clickCentre(QWidget& widget);
/// Waits, handling events as the running program does, until no window has work going on off
/// its thread (Convert, Show joints), as a user waits before the next step.
void waitForWork();
/// Drags data from outside onto the window, at the centre of one of its controls, and drops it
/// there, handing the window the events the window system hands it; returns the action the drop
/// was taken with, or Qt::IgnoreAction when it was refused.
Qt::DropAction dropOn(QWidget& control, const QMimeData& data,
                      Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction);

}  // namespace skelvane::ui::testing
