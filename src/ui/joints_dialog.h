#pragma once

#include <QDialog>

#include "ui/dialogs.h"

class QLabel;
class QLineEdit;
class QSplitter;
class QListWidget;
class QTableWidget;

namespace skelvane::ui {

/// The read-only joints dialog of a row: the source's path, the mapping that names the joints
/// (and a preset that would fit better) and the target whose names are written, which finger
/// and toe joints they rename, a notice when the source is not a BVH file or cannot be read, a
/// table of its joints (old name, role, how the role was found, new name, what happens) with
/// untouched joints, partial-word hits and names the skeleton contradicts marked, a summary
/// line, and what the check of the file's structure found; beside the table of a BVH file, the
/// picture of its skeleton and motion (SkeletonPanel), whose joints and the table's rows select
/// each other. Every text in it is plain.
class JointsDialog final : public QDialog {
    Q_OBJECT

public:
    /// Builds the dialog for the request, sized to its table within the screen.
    explicit JointsDialog(const JointsRequest& request, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showReport(const conversion::JointReport& report, const joblist::MappingChoice& choice);
    void showFailure(const conversion::FileFailure& failure);
    void showSkeleton(const JointsRequest& request);
    void showFindings(const conversion::Findings& findings);
    void fitToScreen();

    QLineEdit* source_;
    QLabel* mapping_;
    QLabel* fingers_;
    QLabel* notice_;
    QSplitter* body_;
    QTableWidget* table_;
    class SkeletonPanel* skeleton_ = nullptr;
    QLabel* summary_;
    QLabel* check_;
    QListWidget* findings_;
    // The width that shows the table's columns whole, and whether the splitter has shared out
    // its width.
    int tableWidth_ = 0;
    bool split_ = false;
};

/// The summary line of a report: joints by outcome, partial-word hits, frames and line ends.
QString jointSummaryOf(const conversion::JointReport& report);

}  // namespace skelvane::ui
