#pragma once

#include <QObject>

#include "joblist/job_list.h"

class QWidget;

namespace skelvane::ui {

class ListBox;

/// The tooltips that tell where Convert writes, worked out whenever one is shown from the job
/// list and the working directory of that moment: an output name's gives the full path of the
/// file it becomes, the Convert button's the folder.
class OutputToolTips final : public QObject {
public:
    /// Gives List2's rows and Command2 their tooltips; the window's owner keeps this object.
    OutputToolTips(const joblist::JobList& jobs, ListBox& List2, QWidget& Command2);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString outputPath(int row) const;

    const joblist::JobList& jobs_;
    ListBox& List2_;
    QWidget& Command2_;
};

}  // namespace skelvane::ui
