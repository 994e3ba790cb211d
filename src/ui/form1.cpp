#include "ui/form1.h"

#include <filesystem>
#include <initializer_list>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStyle>

#include "common/body_parts.h"
#include "conversion/files/platform.h"
#include "joblist/batch_run.h"
#include "ui/background_run.h"
#include "ui/body_diagram.h"
#include "ui/file_drops.h"
#include "ui/job_list_view.h"
#include "ui/list_box.h"
#include "ui/output_tooltips.h"
#include "ui/picture_box.h"
#include "ui/row_mappings.h"
#include "ui/row_menu.h"
#include "ui/text.h"

namespace skelvane::ui {

namespace {

const QColor kFormBackground(69, 96, 129);
const QColor kListBackground(247, 148, 29);
const QColor kSkipMarkText(255, 0, 0);
const QColor kEditorText(255, 255, 255);

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

void Form1::setUpWindow() {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Skelvane"));
    setWindowIcon(QIcon(QStringLiteral(":/pictures/icon.png")));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(scale_.toPixels(layout::Form1).size());
    // The layout was measured in an 8-point sans serif with 13-pixel lines; Qt's default font
    // here is larger, and with it neither the 15-pixel buttons nor 22 rows per list would fit.
    // Set once on the window, it reaches every control.
    setFont(QFont(QStringLiteral("DejaVu Sans"), 8));
    QPalette colours = palette();
    colours.setColor(QPalette::Window, kFormBackground);
    setPalette(colours);
    setAutoFillBackground(true);
}

void Form1::createControls() {
    List3_ = createList("List3", layout::List3, kSkipMarkText);
    List1_ = createList("List1", layout::List1, palette().color(QPalette::WindowText));
    List2_ = createList("List2", layout::List2, palette().color(QPalette::WindowText));
    List1_->elideLongRows();
    List2_->elideLongRows();

    Text1_ = new QLineEdit(QStringLiteral(" "), this);
    Text1_->setObjectName(QStringLiteral("Text1"));
    Text1_->setGeometry(scale_.toPixels(layout::Text1));
    QPalette editorColours = Text1_->palette();
    editorColours.setColor(QPalette::Base, kFormBackground);
    editorColours.setColor(QPalette::Text, kEditorText);
    Text1_->setPalette(editorColours);
    Text1_->hide();

    Command1_ = createButton("Command1", QStringLiteral("Open Source..."), layout::Command1);
    Command2_ = createButton("Command2", QStringLiteral("Convert"), layout::Command2);

    // The two legend labels are sized to their text, which is wider in this font than in the
    // one the layout's widths were measured in.
    Label2_ = createLabel("Label2", QStringLiteral("convert"), layout::Label2);
    Label2_->adjustSize();
    Label3_ = createLabel("Label3", QStringLiteral("not convert"), layout::Label3);
    Label3_->adjustSize();
    Label1_ = createLabel("Label1", QStringLiteral("Poser BVH to Max BVH"), layout::Label1);
    Label1_->setAlignment(Qt::AlignCenter);

    pbar_ = new QProgressBar(this);
    pbar_->setObjectName(QStringLiteral("pbar"));
    pbar_->setOrientation(Qt::Horizontal);
    pbar_->setTextVisible(false);
    pbar_->setGeometry(scale_.toPixels(layout::pbar));

    view_ = std::make_unique<JobListView>(jobs_, *List1_, *List2_, *List3_, *Text1_);

    drops_ = std::make_unique<FileDrops>(*this);
    drops_->watch(*Text1_);
    toolTips_ = std::make_unique<OutputToolTips>(*Command2_);
    rowMappings_ = std::make_unique<RowMappings>(jobs_, mappings_, *view_, *dialogs_, *this);
    run_ = std::make_unique<BackgroundRun>();
}

void Form1::createPictures() {
    diagram_ = std::make_unique<BodyDiagram>(*this, scale_);
}

void Form1::arrangeControls() {
    // Raising from the back forwards leaves each control in front of all raised before it.
    for (auto name = layout::kStackedBehindParts.rbegin();
         name != layout::kStackedBehindParts.rend(); ++name) {
        control(*name).raise();
    }
    for (auto part = layout::kPartImagesFrontToBack.rbegin();
         part != layout::kPartImagesFrontToBack.rend(); ++part) {
        diagram_->partImage(*part).raise();
    }
    for (auto name = layout::kStackedBeforeParts.rbegin();
         name != layout::kStackedBeforeParts.rend(); ++name) {
        control(*name).raise();
    }
    for (std::size_t i = 1; i < layout::kTabOrder.size(); ++i) {
        setTabOrder(&control(layout::kTabOrder.at(i - 1)), &control(layout::kTabOrder.at(i)));
    }
    List1_->setFocus();
}

void Form1::wireEvents() {
    connect(Command1_, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2_, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(List1_, &ListBox::itemSelectionChanged, this, &Form1::List1_Click);
    connect(List2_, &ListBox::itemSelectionChanged, this, &Form1::List2_Click);
    connect(List3_, &ListBox::itemSelectionChanged, this, &Form1::List3_Click);
    connect(List2_, &ListBox::dblClick, this, &Form1::List2_DblClick);
    connect(List2_, &ListBox::mouseDown, this, &Form1::List2_MouseDown);
    connect(List3_, &ListBox::dblClick, this, &Form1::List3_DblClick);
    connect(List3_, &ListBox::spaceKey, this, &Form1::List3_SpaceKey);
    // Typed into the open editor, Ctrl+Z is the editor's own: a line edit claims it first.
    undoShortcut_ = new QShortcut(QKeySequence::Undo, this);
    connect(undoShortcut_, &QShortcut::activated, this, &Form1::undo);
    for (ListBox* list : {List1_, List2_, List3_}) {
        connect(list, &ListBox::contextMenu, this, &Form1::List_ContextMenu);
        connect(list, &ListBox::deleteKey, this, &Form1::List_DeleteKey);
    }
    connect(drops_.get(), &FileDrops::filesDropped, this,
            qOverload<const QStringList&>(&Form1::addSources));
    for (const auto& part : common::kBodyParts) {
        if (common::isFixedPart(part.number)) continue;
        connect(&diagram_->partImage(part.number), &PictureBox::clicked, this,
                [this, number = part.number] { partImage_Click(number); });
    }
    connect(run_.get(), &BackgroundRun::runningChanged, this, &Form1::holdJobList);
    connect(run_.get(), &BackgroundRun::progressMaximum, this, &Form1::showProgressMaximum);
    connect(run_.get(), &BackgroundRun::progressValue, this, &Form1::showProgressValue);
    connect(run_.get(), &BackgroundRun::info, this, &Form1::showInfo);
    connect(run_.get(), &BackgroundRun::converted, this, &Form1::showRunReport);
    connect(run_.get(), &BackgroundRun::inspected, this, &Form1::showJoints);
}

void Form1::centreOnScreen() {
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    move(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), screen->availableGeometry())
             .topLeft());
}

ListBox* Form1::createList(const char* name, const TwipsRect& place, const QColor& text) {
    auto* list = new ListBox(this);
    list->setObjectName(QLatin1String(name));
    list->setGeometry(scale_.toPixels(place));
    QPalette colours = list->palette();
    colours.setColor(QPalette::Base, kListBackground);
    colours.setColor(QPalette::Text, text);
    list->setPalette(colours);
    return list;
}

QPushButton* Form1::createButton(const char* name, const QString& text, const TwipsRect& place) {
    auto* button = new QPushButton(text, this);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(scale_.toPixels(place));
    return button;
}

QLabel* Form1::createLabel(const char* name, const QString& text, const TwipsRect& place) {
    auto* label = new QLabel(text, this);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(scale_.toPixels(place));
    QPalette colours = label->palette();
    colours.setColor(QPalette::WindowText, colours.color(QPalette::ButtonText));
    label->setPalette(colours);
    return label;
}

QWidget& Form1::control(std::string_view name) const {
    auto* widget =
        findChild<QWidget*>(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())),
                            Qt::FindDirectChildrenOnly);
    Q_ASSERT(widget != nullptr);
    return *widget;
}

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
