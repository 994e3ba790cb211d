#include "ui/form1.h"

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>

#include "common/body_parts.h"
#include "conversion/files/platform.h"
#include "joblist/batch_run.h"
#include "ui/background_run.h"
#include "ui/body_diagram.h"
#include "ui/file_drops.h"
#include "ui/list_box.h"
#include "ui/output_tooltips.h"
#include "ui/picture_box.h"
#include "ui/row_mappings.h"
#include "ui/row_menu.h"
#include "ui/text.h"

namespace skelvane::ui {

namespace {

// Opening in the program's folder, which for an installed program is a system folder; the
// sidebar keeps the user's own files one click away.
OpenFileRequest openSourceRequest(const QString& lastSourceFolder) {
    QStringList sidebar;
    if (!lastSourceFolder.isEmpty()) sidebar << lastSourceFolder;
    if (!sidebar.contains(QDir::homePath())) sidebar << QDir::homePath();
    return {QCoreApplication::applicationDirPath(),
            QString(),
            QStringLiteral("Open Poser BVH file:"),
            {QStringLiteral("Poser BVH File (*.bvh)"), QStringLiteral("All files (*.*)")},
            sidebar};
}

// The file a path names, absolute so that it stays the same file whatever the working folder.
// Joined rather than cleaned: "link/../walk.bvh" is not always "walk.bvh".
std::string absoluteSourcePath(const std::string& path) {
    const std::filesystem::path name = conversion::platform::pathFromBytes(path);
    std::error_code error;
    return name.is_absolute()
               ? path
               : conversion::platform::bytesOfPath(std::filesystem::current_path(error) / name);
}

}  // namespace

Form1::Form1(std::unique_ptr<Dialogs> dialogs, QWidget* parent)
    : QWidget(parent), dialogs_(std::move(dialogs)), scale_(TwipsScale::vertical(*this)) {
    setUpWindow();
    createControls();
    createPictures();
    arrangeControls();
    wireEvents();
    centreOnScreen();
}

Form1::~Form1() = default;

void Form1::SetSelection() {
    const int row = List1_->selectedRow();
    if (row < 0) return;
    diagram_->showRow(jobs_, row);
}

void Form1::OFF(PictureBox& image) {
    const int row = List1_->selectedRow();
    if (row < 0) return;
    diagram_->toggle(image, jobs_, row);
}

void Form1::addSources(const QStringList& paths) {
    std::vector<std::string> names;
    for (const QString& path : paths) names.push_back(toBytes(path));
    addSources(names);
}

void Form1::addSources(const std::vector<std::string>& paths) {
    QStringList unusable;
    bool refused = false;
    namespace platform = conversion::platform;
    for (const std::string& path : paths) {
        const std::filesystem::path file = platform::pathFromBytes(path);
        std::error_code error;
        if (!std::filesystem::is_regular_file(file, error)) {
            unusable << fromBytes(path);
        } else if (const std::string source = absoluteSourcePath(path);
                   !view_->appendRow(platform::bytesOfPath(file.filename()), source,
                                     rowMappings_->forNewRows())) {
            refused = true;
        } else {
            lastSourceFolder_ =
                fromBytes(platform::bytesOfPath(platform::pathFromBytes(source).parent_path()));
        }
    }
    if (refused) showInfo(QStringLiteral("No more than 22 Items suported!"));
    if (!unusable.isEmpty()) {
        showInfo(QStringLiteral("These files were not added: they do not exist or are not "
                                "regular files.\n\n") +
                 unusable.join(QLatin1Char('\n')));
    }
}

void Form1::startWithMapping(conversion::MappingCatalog mappings, joblist::MappingChoice choice) {
    mappings_ = std::move(mappings);
    rowMappings_->setForNewRows(std::move(choice));
}

// Closing the last window ends the program, which would stop the work with outputs still to put
// in place and its failure message unseen. While work goes on, a close is only noted; the window
// closes once the work's result has been shown.
void Form1::closeEvent(QCloseEvent* event) {
    closeRequested_ = run_->isRunning();
    if (closeRequested_) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void Form1::showInfo(const QString& text) {
    dialogs_->showMessage(this, text, QString::fromLatin1(kInfoTitle));
}

void Form1::Command1_Click() {
    if (jobs_.isFull()) {
        showInfo(QStringLiteral("No more than 22 Items suported!"));
        return;
    }
    addSources(dialogs_->openFiles(this, openSourceRequest(lastSourceFolder_)));
}

// The report reads the whole file, which may take a while for a long take.
void Form1::inspectRow(int row) {
    if (row < 0 || row >= jobs_.rowCount()) return;
    run_->inspect(jobs_, row);
}

void Form1::showJoints(int row, const joblist::RowInspection& inspection) {
    if (closeRequested_) {
        close();
        return;
    }
    dialogs_->showJoints(
        this, {fromBytes(jobs_.title(row)), fromBytes(jobs_.sourcePath(row)), inspection.report,
               jobs_.mapping(row), inspection.mapping, jobs_.sourcePath(row)});
}

void Form1::removeRow(int row) {
    if (row < 0 || row >= jobs_.rowCount()) return;
    undo_.recordRemoval(jobs_, {row}, List1_->selectedRow());
    view_->removeRow(row, TwipsScale::vertical(*this));
    showSelectedRow();
}

void Form1::clearList() {
    if (jobs_.rowCount() == 0) return;
    std::vector<int> rows(static_cast<std::size_t>(jobs_.rowCount()));
    std::iota(rows.begin(), rows.end(), 0);
    undo_.recordRemoval(jobs_, rows, List1_->selectedRow());
    view_->clear();
    showSelectedRow();
}

void Form1::undo() {
    if (!undo_.canUndo(jobs_.rowCount())) return;
    const RowUndo::Removal removal = undo_.takeLast();
    view_->insertRows(removal.rows, removal.selected, TwipsScale::vertical(*this));
    showSelectedRow();
}

void Form1::showSelectedRow() {
    if (List1_->selectedRow() < 0) {
        diagram_->hideParts();
    } else {
        SetSelection();
    }
}

// While a run reads the job list, the buttons and lists are disabled, drops and Ctrl+Z refused
// and clicks on the part images ignored; the diagram and the editor stay as they are. The focus
// is taken off first: Qt would pass a disabled control's focus on to the editor, which only a
// click gives it. It comes back when the work ends, unless the user has put it somewhere.
void Form1::holdJobList(bool held) {
    if (held) {
        focusBeforeRun_ = focusWidget();
        if (focusBeforeRun_ != nullptr) focusBeforeRun_->clearFocus();
    }
    for (QWidget* control :
         std::initializer_list<QWidget*>{Command1_, Command2_, List1_, List2_, List3_}) {
        control->setEnabled(!held);
    }
    drops_->setEnabled(!held);
    undoShortcut_->setEnabled(!held);
    if (held) {
        setCursor(Qt::BusyCursor);
    } else {
        unsetCursor();
        if (focusWidget() == nullptr && focusBeforeRun_ != nullptr) focusBeforeRun_->setFocus();
    }
}

void Form1::Command2_Click() {
    runSummary_ = RunSummary(jobs_);
    run_->convert(jobs_);
}

void Form1::showProgressMaximum(float maximum) {
    pbar_->setRange(0, progressUnits(maximum));
}

void Form1::showProgressValue(float value) {
    pbar_->setValue(progressUnits(value));
}

void Form1::showRunReport(const joblist::RunReport& report) {
    pbar_->setToolTip(runSummary_.of(report));
    if (!report.ok()) showInfo(failureMessage(report, jobs_));
    if (closeRequested_) close();
}

// Selecting a row from code raises the selection handler of that list, which runs nested and
// finds the other lists already on the row or moves them there; a list already on the row
// raises nothing, so the nesting ends.
void Form1::List1_Click() {
    view_->followSelection(*List1_, *List3_, *List2_);
    SetSelection();
}

void Form1::List2_Click() {
    view_->followSelection(*List2_, *List3_, *List1_);
    SetSelection();
}

void Form1::List3_Click() {
    view_->followSelection(*List3_, *List1_, *List2_);
    SetSelection();
}

void Form1::List2_DblClick() {
    view_->openEditor(TwipsScale::vertical(*this));
}

void Form1::List2_MouseDown() {
    view_->commitEditor();
}

void Form1::List3_DblClick() {
    view_->toggleSkipMark();
}

void Form1::List3_SpaceKey() {
    view_->toggleSkipMark();
}

void Form1::partImage_Click(int part) {
    if (run_->isRunning() || List1_->selectedRow() < 0) return;
    OFF(diagram_->partImage(part));
}

// The press has already selected the row in all three lists and committed the editor.
void Form1::List_ContextMenu(int row, const QPoint& globalPos) {
    RowMenuActions actions;
    if (row >= 0 && row < jobs_.rowCount()) {
        actions.showJoints = [this, row] { inspectRow(row); };
        actions.removeRow = [this, row] { removeRow(row); };
        // The diagram shows the row the menu belongs to, which a part toggle acts on.
        if (List1_->selectedRow() == row) {
            actions.parts = partEntries(jobs_, row, [this](int part) { partImage_Click(part); });
        }
    }
    const int mappingRow = row < jobs_.rowCount() ? row : -1;
    actions.mappings = rowMappings_->entries(mappingRow);
    actions.loadMapping = [this, mappingRow] { rowMappings_->loadFile(mappingRow); };
    actions.targets = rowMappings_->targetEntries(mappingRow);
    actions.targetApplies = rowMappings_->targetApplies(mappingRow);
    if (jobs_.rowCount() > 0) actions.clearList = [this] { clearList(); };
    if (undo_.canUndo(jobs_.rowCount())) actions.undo = [this] { undo(); };
    popUpRowMenu(*this, globalPos, std::move(actions));
}

void Form1::List_DeleteKey() {
    removeRow(List1_->selectedRow());
}

}  // namespace skelvane::ui
