#include "ui/joints_dialog.h"

#include <algorithm>
#include <utility>
#include <variant>

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include "common/body_parts.h"
#include "common/roles.h"
#include "conversion/files/platform.h"
#include "ui/plain_text.h"
#include "ui/row_mappings.h"
#include "ui/skeleton_panel.h"
#include "ui/text.h"

namespace skelvane::ui {

namespace {

using conversion::JointOutcome;

// Light enough for dark text on any theme; the text colour is set with them.
const QColor kUntouchedBackground(255, 221, 128);
const QColor kPartialWordBackground(190, 215, 255);
const QColor kContradictedBackground(255, 200, 200);
const QColor kMarkedText(0, 0, 0);

constexpr int kLeastWidth = 420;

enum Column { kOldName, kRole, kFound, kNewName, kWhatHappens, kColumnCount };

QLabel* plainLabel(const char* name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

// Through roles, in the plan's words; otherwise the rows' and what the skeleton says against a
// name, if anything.
QString whatHappens(const conversion::JointEntry& joint, const joblist::MappingChoice& choice) {
    std::string words;
    if (choice.roles()) {
        words = conversion::whatHappensThroughRoles(joint, choice.target->name,
                                                    conversion::Audience::Window);
    } else {
        words = conversion::whatHappens(joint, conversion::Audience::Window);
        const std::string objection =
            joint.role ? conversion::skeletonObjection(*joint.role) : std::string();
        if (!objection.empty()) words += ", " + objection;
    }
    QString text = fromBytes(words);
    if (joint.cut()) text += QStringLiteral(", name of %1 bytes").arg(qulonglong{joint.oldLength});
    return text;
}

QString roleOf(const conversion::JointEntry& joint) {
    if (!joint.role || !joint.role->role) return QStringLiteral("\u2014");
    return fromBytes(common::roleName(*joint.role->role));
}

// How the role was found, and whether the skeleton confirms it.
QString foundOf(const conversion::JointEntry& joint) {
    if (!joint.role) return {};
    QString text = fromBytes(conversion::foundWords(joint.role->status));
    // Kept short: on a narrow screen the table shares the width with the picture.
    if (joint.role->skeleton == conversion::SkeletonSays::Agrees) text += QStringLiteral(" + shape");
    return text;
}

bool isContradicted(const conversion::JointEntry& joint) {
    return joint.role && joint.role->skeleton == conversion::SkeletonSays::Contradicts;
}

// A name as the table shows it; one cut for display says so.
QString shownName(const std::string& name, std::uint64_t fullLength) {
    return fromBytes(name) + (fullLength > name.size() ? QStringLiteral("\u2026") : QString());
}

template <typename Count>
QString counted(Count count, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

// How many joints a mapping renames, by the fit's own count where the fit has one: a mapping
// file's is what it did to this file.
std::uint64_t renamedBy(const conversion::Mapping* mapping, const conversion::JointReport& report) {
    for (const conversion::MappingCount& count : report.fit.counts) {
        if (count.mapping == mapping) return count.renamed;
    }
    return report.renamed + report.dropped;
}

// The mapping the joints were named by and, when the row's choice is not the best fit, whether
// a preset would rename more of them. A tie is no reason to switch: poser-max-names wins ties
// against poser-max on every Poser file.
QString mappingText(const JointsRequest& request) {
    const auto* report = std::get_if<conversion::JointReport>(&request.report);
    if (report == nullptr || request.mapping == nullptr) {
        return QStringLiteral("Mapping: ") + choiceName(request.choice);
    }
    const conversion::Mapping& used = *request.mapping;
    QString text = QStringLiteral("Mapping: ") + mappingLabel(fromBytes(used.name), used);
    const conversion::FitResult& fit = report->fit;
    if (request.choice.bestFit) {
        text += QStringLiteral("\nChosen as the best fit (%1).").arg(fromBytes(fit.summary()));
    } else if (fit.verdict == conversion::FitVerdict::Fits && fit.best != &used &&
               fit.renamed > renamedBy(&used, *report)) {
        text += QStringLiteral("\nAnother preset fits better (%1).").arg(fromBytes(fit.summary()));
    }
    return text;
}

// The mapping, the target whose names are written and what the skeleton says of the file.
QString namingText(const JointsRequest& request) {
    QString text = mappingText(request);
    if (const conversion::RigProfile* target = targetOf(request.choice)) {
        text += QStringLiteral("\nTarget: ") + fromBytes(target->name);
    }
    const auto* report = std::get_if<conversion::JointReport>(&request.report);
    if (report != nullptr && report->skeleton && !report->skeleton->humanoid) {
        text += QStringLiteral("\nThe skeleton is no humanoid's: roles come from names alone.");
    }
    return text;
}

// Which finger and toe joints, by their roles, the row renames: the target through roles, or
// the table (for a best fit into Max, the preset that fits).
QString fingersAndToesText(const JointsRequest& request, const conversion::JointReport& report) {
    QStringList renamed;
    int others = 0;
    int nothing = 0;
    for (const conversion::JointEntry& joint : report.joints) {
        if (!joint.role || !joint.role->role) continue;
        const std::string_view part = common::bodyPart(common::partOf(*joint.role->role)).imageName;
        if (part != "Fingers" && part != "Toes") continue;
        if (joint.outcome == JointOutcome::Renamed) {
            renamed << shownName(joint.oldName, joint.oldLength);
        } else {
            ++(joint.outcome == JointOutcome::Dropped ? nothing : others);
        }
    }
    const int count = static_cast<int>(renamed.size()) + others + nothing;
    if (count == 0) return {};
    QString who = choiceName(request.choice);
    if (request.choice.roles()) {
        who = QStringLiteral("target ") + fromBytes(request.choice.target->name);
    } else if (request.mapping != nullptr) {
        who = fromBytes(request.mapping->name);
    }
    QString text =
        QStringLiteral("Fingers and toes: %1 renames %2 of their %3")
            .arg(who, renamed.isEmpty() ? QStringLiteral("none") : QString::number(renamed.size()),
                 counted(count, "joint", "joints"));
    if (!renamed.isEmpty()) {
        constexpr int kNamed = 10;
        text += QStringLiteral(" (") + renamed.mid(0, kNamed).join(QStringLiteral(", "));
        if (renamed.size() > kNamed)
            text += QStringLiteral(" and %1 more").arg(renamed.size() - kNamed);
        text += ')';
    }
    if (nothing > 0) text += QStringLiteral(", %1 written as nothing").arg(nothing);
    text += QStringLiteral(". On the diagram they stay red whatever the mapping.");
    return text;
}

}  // namespace

JointsDialog::JointsDialog(const JointsRequest& request, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("JointsDialog"));
    setWindowTitle(QStringLiteral("Joints of ") + request.title);

    source_ = new QLineEdit(request.sourcePath, this);
    source_->setObjectName(QStringLiteral("jointSource"));
    source_->setReadOnly(true);
    source_->setCursorPosition(0);
    mapping_ = plainLabel("jointMapping", this);
    mapping_->setText(breakableText(namingText(request)));
    fingers_ = plainLabel("jointFingers", this);
    fingers_->hide();
    notice_ = plainLabel("jointNotice", this);
    QFont bold = notice_->font();
    bold.setBold(true);
    notice_->setFont(bold);
    notice_->hide();

    body_ = new QSplitter(Qt::Horizontal, this);
    body_->setObjectName(QStringLiteral("jointBody"));
    body_->setChildrenCollapsible(false);
    table_ = new QTableWidget(0, kColumnCount, body_);
    table_->setObjectName(QStringLiteral("jointTable"));
    table_->setHorizontalHeaderLabels({QStringLiteral("Joint"), QStringLiteral("Role"),
                                       QStringLiteral("Found by"), QStringLiteral("Written as"),
                                       QStringLiteral("What happens")});
    table_->verticalHeader()->hide();
    // The style's default rows are twice the text's height; a compact table shows more joints.
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 4);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setWordWrap(false);
    table_->horizontalHeader()->setStretchLastSection(true);
    summary_ = plainLabel("jointSummary", this);
    check_ = plainLabel("jointCheck", this);
    check_->hide();
    findings_ = new QListWidget(this);
    findings_->setObjectName(QStringLiteral("jointFindings"));
    findings_->setWordWrap(true);
    findings_->hide();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(source_);
    layout->addWidget(mapping_);
    layout->addWidget(fingers_);
    layout->addWidget(notice_);
    layout->addWidget(body_, 1);
    layout->addWidget(summary_);
    layout->addWidget(check_);
    layout->addWidget(findings_);
    layout->addWidget(buttons);

    if (const auto* report = std::get_if<conversion::JointReport>(&request.report)) {
        showReport(*report, request.choice);
        const QString fingers = fingersAndToesText(request, *report);
        fingers_->setText(breakableText(fingers));
        fingers_->setVisible(!fingers.isEmpty());
        showSkeleton(request);
    } else {
        showFailure(std::get<conversion::FileFailure>(request.report));
    }
    fitToScreen();
}

void JointsDialog::showReport(const conversion::JointReport& report,
                              const joblist::MappingChoice& choice) {
    if (!report.bvh) {
        notice_->setText(
            QStringLiteral("Not a BVH file: it does not start with HIERARCHY. "
                           "Convert still renames whatever matches in it."));
        notice_->show();
    }
    const bool unlisted = report.unlisted() > 0;
    table_->setRowCount(static_cast<int>(report.joints.size()) + (unlisted ? 1 : 0));
    int row = 0;
    for (const conversion::JointEntry& joint : report.joints) {
        const QString texts[kColumnCount] = {
            shownName(joint.oldName, joint.oldLength), roleOf(joint), foundOf(joint),
            shownName(joint.newName, joint.newLength), whatHappens(joint, choice)};
        const bool untouched = choice.roles() ? conversion::keepsItsName(joint)
                                              : joint.outcome == JointOutcome::Untouched;
        for (int column = 0; column < kColumnCount; ++column) {
            auto* cell = new QTableWidgetItem(texts[column]);
            if (untouched || joint.partialWord || isContradicted(joint)) {
                cell->setBackground(isContradicted(joint) ? kContradictedBackground
                                    : untouched           ? kUntouchedBackground
                                                          : kPartialWordBackground);
                cell->setForeground(kMarkedText);
            }
            table_->setItem(row, column, cell);
        }
        ++row;
    }
    if (unlisted) {
        auto* more = new QTableWidgetItem(
            QStringLiteral("\u2026 and %1, counted below")
                .arg(counted(qulonglong{report.unlisted()}, "more joint", "more joints")));
        table_->setItem(row, kOldName, more);
        table_->setSpan(row, kOldName, 1, kColumnCount);
    }
    table_->resizeColumnsToContents();
    summary_->setText(jointSummaryOf(report));
    if (report.findings) showFindings(*report.findings);
}

// The check's findings, a line each as the command line's: "line 128: error: reason".
void JointsDialog::showFindings(const conversion::Findings& findings) {
    const auto severity = [](conversion::FindingKind kind) {
        return QString::fromLatin1(conversion::severityWord(conversion::severityOf(kind)));
    };
    check_->setText(QStringLiteral("Structure checked: %1, %2.")
                        .arg(counted(qulonglong{findings.errors()}, "error", "errors"),
                             counted(qulonglong{findings.warnings()}, "warning", "warnings")));
    check_->show();
    for (const conversion::Finding& finding : findings.listed()) {
        findings_->addItem(QStringLiteral("line %1: %2: %3")
                               .arg(qulonglong{finding.line})
                               .arg(severity(finding.kind), fromBytes(finding.reason)));
    }
    for (std::size_t i = 0; i < conversion::kFindingKinds; ++i) {
        const auto kind = static_cast<conversion::FindingKind>(i);
        if (const std::uint64_t more = findings.unlisted(kind)) {
            findings_->addItem(QStringLiteral("%1: %2 more %3")
                                   .arg(severity(kind))
                                   .arg(qulonglong{more})
                                   .arg(QString::fromLatin1(conversion::findingTopic(kind))));
        }
    }
    findings_->setVisible(findings_->count() > 0);
    // A few rows tall: the joints' table has the room.
    findings_->setMaximumHeight(findings_->sizeHintForRow(0) * 6 + 2 * findings_->frameWidth());
}

// Only a BVH file has a skeleton to draw; its frames are read while the dialog is open.
void JointsDialog::showSkeleton(const JointsRequest& request) {
    const auto& report = std::get<conversion::JointReport>(request.report);
    if (!report.bvh) return;
    skeleton_ = new SkeletonPanel(request.sourceBytes, report, body_);
    // A wider dialog gives the picture the room.
    body_->setStretchFactor(0, 0);
    body_->setStretchFactor(1, 1);
    connect(table_, &QTableWidget::itemSelectionChanged, skeleton_, [this] {
        const QList<QTableWidgetItem*> selected = table_->selectedItems();
        skeleton_->highlightRow(selected.isEmpty() ? -1 : selected.front()->row());
    });
    connect(skeleton_, &SkeletonPanel::rowClicked, table_, [this](int row) {
        table_->selectRow(row);
        table_->scrollToItem(table_->item(row, kOldName));
    });
}

void JointsDialog::showFailure(const conversion::FileFailure& failure) {
    notice_->setText(
        breakableText(QStringLiteral("Cannot read %1:\n%2")
                          .arg(fromBytes(conversion::platform::bytesOfPath(failure.path)),
                               QString::fromLocal8Bit(failure.error.message()))));
    notice_->show();
    body_->hide();
    summary_->hide();
}

// Wide enough for the table's columns and tall enough for its rows, as far as the screen allows.
void JointsDialog::fitToScreen() {
    const QScreen* screen =
        parentWidget() != nullptr ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    const QSize room =
        screen != nullptr ? screen->availableGeometry().size() * 9 / 10 : QSize(800, 600);
    QSize wanted = sizeHint().expandedTo({kLeastWidth, 0});
    if (!body_->isHidden()) {
        // A table's own size hint ignores its contents.
        const int frame = 2 * table_->frameWidth();
        const QSize table(table_->horizontalHeader()->length() +
                              table_->verticalScrollBar()->sizeHint().width() + frame,
                          table_->horizontalHeader()->sizeHint().height() +
                              table_->verticalHeader()->length() + frame);
        const QMargins margins = layout()->contentsMargins();
        const int beside =
            skeleton_ != nullptr ? skeleton_->sizeHint().width() + body_->handleWidth() : 0;
        wanted.setWidth(
            std::max(wanted.width(), table.width() + beside + margins.left() + margins.right()));
        const int picture = skeleton_ != nullptr ? skeleton_->sizeHint().height() : 0;
        wanted.rheight() +=
            std::max(0, std::max(table.height(), picture) - body_->sizeHint().height());
        tableWidth_ = table.width();
    }
    resize(wanted.boundedTo(room));
}

// The splitter shares its width out once shown: the table keeps its columns whole where it can,
// and the picture has the rest.
void JointsDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (skeleton_ == nullptr || std::exchange(split_, true)) return;
    const int width = body_->width() - body_->handleWidth();
    const int table = std::min(tableWidth_, width - skeleton_->minimumSizeHint().width());
    body_->setSizes({table, width - table});
}

QString jointSummaryOf(const conversion::JointReport& report) {
    const QString frames = report.frames ? counted(qulonglong{*report.frames}, "frame", "frames")
                                         : QStringLiteral("frames unknown");
    return QStringLiteral(
               "%1: %2 renamed, %3 renamed to nothing, %4 untouched; %5 \u00b7 %6 \u00b7 %7")
        .arg(counted(qulonglong{report.jointCount}, "joint", "joints"))
        .arg(report.renamed)
        .arg(report.dropped)
        .arg(report.untouched)
        .arg(counted(qulonglong{report.partialWords}, "partial-word hit", "partial-word hits"),
             frames, QString::fromLatin1(conversion::lineEndsWords(report.lineEnds)));
}

}  // namespace skelvane::ui
