#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QPointer>
#include <QWidget>

#include "conversion/mapping/mapping_catalog.h"
#include "joblist/job_list.h"
#include "ui/dialogs.h"
#include "ui/row_undo.h"
#include "ui/run_progress.h"
#include "ui/twips_layout.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QShortcut;

namespace skelvane::ui {

class BackgroundRun;
class BodyDiagram;
class FileDrops;
class JobListView;
class ListBox;
class OutputToolTips;
class PictureBox;
class RowMappings;
namespace testing {
struct Form1Access;
}

/// The program's one window.
///
/// Form1 owns the job list and builds every control from the twips layout, at the screen's
/// twips per pixel. JobListView holds the job list's model, whose views are the three lists,
/// and the in-place editor. BodyDiagram holds the figure, the legend and the 23 part images and
/// colours them from the job list's part flags. The handlers, named after their control and
/// event, only read the selection and hand the work on: the diagram to BodyDiagram, Convert and
/// Show joints to BackgroundRun, which works on a pool thread and reports by signals (progress
/// into pbar, its result into a message, pbar's tooltip or the joints dialog); every dialog
/// goes through the Dialogs interface so that tests can answer it. Files reach the job list one
/// way, addSources, whether they come from the command line, the open dialog or a drop
/// (FileDrops). A row's context menu (popUpRowMenu: mouse, Menu key or Shift+F10) and the
/// Delete key show its joints, toggle its parts as a click on the diagram does, or remove rows
/// through JobListView; RowUndo keeps what was removed for Undo (Ctrl+Z). RowMappings keeps the
/// mapping a row's menu chooses, which rows added later take too, and the mapping files loaded
/// into mappings_. OutputToolTips tell where Convert writes, and pbar's tooltip the last run.
/// While BackgroundRun works, nothing that changes the job list takes input (holdJobList), and
/// closing the window waits for it.
class Form1 : public QWidget {
    Q_OBJECT

public:
    /// Builds the window with an empty job list; the dialogs default to Qt's own.
    explicit Form1(std::unique_ptr<Dialogs> dialogs = std::make_unique<QtDialogs>(),
                   QWidget* parent = nullptr);
    ~Form1() override;

    /// Adds a row for each path, in order, as the open dialog adds one. Paths that are not
    /// regular files are skipped and listed in one message; once the list is full the rest are
    /// not added and "No more than 22 Items suported!" shows once.
    void addSources(const QStringList& paths);
    /// The same for paths given as the file system's bytes, which need not be valid in any
    /// encoding: the window program's command line hands its FILE arguments over this way.
    void addSources(const std::vector<std::string>& paths);

    /// Takes the mapping files loaded before the window opened and the mapping of the rows
    /// added from now on, as if chosen from a row's menu; for a window without rows.
    void startWithMapping(conversion::MappingCatalog mappings, joblist::MappingChoice choice);

protected:
    /// Closes the window once a run has ended: the run is writing the user's files.
    void closeEvent(QCloseEvent* event) override;

private:
    friend struct testing::Form1Access;

    void setUpWindow();
    void createControls();
    void createPictures();
    void arrangeControls();
    void wireEvents();
    void centreOnScreen();

    ListBox* createList(const char* name, const TwipsRect& place, const QColor& text);
    QPushButton* createButton(const char* name, const QString& text, const TwipsRect& place);
    QLabel* createLabel(const char* name, const QString& text, const TwipsRect& place);
    QWidget& control(std::string_view name) const;

    void Command1_Click();
    void Command2_Click();
    void List1_Click();
    void List2_Click();
    void List3_Click();
    void List2_DblClick();
    void List2_MouseDown();
    void List3_DblClick();
    void List3_SpaceKey();
    void partImage_Click(int part);
    void List_ContextMenu(int row, const QPoint& globalPos);
    void List_DeleteKey();

    /// Shows all part images and colours the refreshed ones from the flags of List1's selected
    /// row; does nothing while List1 has no selected row.
    void SetSelection();
    /// Toggles a part image between the green and the red dot and writes the matching flag of
    /// List1's selected row; does nothing while List1 has no selected row.
    void OFF(PictureBox& image);

    void showInfo(const QString& text);
    void inspectRow(int row);
    void removeRow(int row);
    void clearList();
    /// Puts back the rows of the last removal, unless they would pass the row limit.
    void undo();
    /// Shows the selected row on the diagram, or no part images once no row is selected.
    void showSelectedRow();
    /// While held, nothing that changes the job list takes input.
    void holdJobList(bool held);
    void showProgressMaximum(float maximum);
    void showProgressValue(float value);
    void showRunReport(const joblist::RunReport& report);
    void showJoints(int row, const joblist::RowInspection& inspection);

    joblist::JobList jobs_;
    /// The mapping files loaded while the window is open, which rows may name.
    conversion::MappingCatalog mappings_;
    std::unique_ptr<Dialogs> dialogs_;
    TwipsScale scale_;
    ListBox* List1_ = nullptr;
    ListBox* List2_ = nullptr;
    ListBox* List3_ = nullptr;
    QLineEdit* Text1_ = nullptr;
    QPushButton* Command1_ = nullptr;
    QPushButton* Command2_ = nullptr;
    QLabel* Label1_ = nullptr;
    QLabel* Label2_ = nullptr;
    QLabel* Label3_ = nullptr;
    QProgressBar* pbar_ = nullptr;
    std::unique_ptr<JobListView> view_;
    std::unique_ptr<BodyDiagram> diagram_;
    std::unique_ptr<FileDrops> drops_;
    std::unique_ptr<OutputToolTips> toolTips_;
    std::unique_ptr<RowMappings> rowMappings_;
    RowUndo undo_;
    QShortcut* undoShortcut_ = nullptr;
    /// The folder of the last source added, offered in the open dialog's sidebar.
    QString lastSourceFolder_;
    /// What the last Convert found when it started, for its account once it has ended.
    RunSummary runSummary_;
    /// The control that had the focus when work started, which gets it back when the work ends.
    QPointer<QWidget> focusBeforeRun_;
    /// True when the window was closed while work went on: it closes when the work has ended.
    bool closeRequested_ = false;
    /// Last, so that it is gone, its work ended, before anything that work reads (mappings_).
    std::unique_ptr<BackgroundRun> run_;
};

}  // namespace skelvane::ui
