#pragma once

#include <QDialog>

#include "ui/dialogs.h"

class QLabel;
class QLineEdit;
class QTableWidget;

namespace skelvane::ui {

/// The read-only joints dialog of a row: the source's path, the mapping that names the joints
/// (and a preset that would fit better), a notice when the source is not a BVH file or cannot be
/// read, a table of its joints (old name, new name, what happens) with untouched joints and
/// partial-word hits marked, and a summary line. Every text in it is plain.
class JointsDialog final : public QDialog {
    Q_OBJECT

public:
    /// Builds the dialog for the request, sized to its table within the screen.
    explicit JointsDialog(const JointsRequest& request, QWidget* parent = nullptr);

private:
    void showReport(const conversion::JointReport& report);
    void showFailure(const conversion::FileFailure& failure);
    void fitToScreen();

    QLineEdit* source_;
    QLabel* mapping_;
    QLabel* notice_;
    QTableWidget* table_;
    QLabel* summary_;
};

/// The summary line of a report: joints by outcome, partial-word hits, frames and line ends.
QString jointSummaryOf(const conversion::JointReport& report);

}  // namespace skelvane::ui
