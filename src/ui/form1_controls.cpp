// The window's making: its controls created at their places in twips and coloured, the part
// images laid over the diagram, the handlers wired, the window centred.
#include "ui/form1.h"

#include <QGuiApplication>
#include <QIcon>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStyle>

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

}  // namespace

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

}  // namespace skelvane::ui
