#pragma once

#include <string>
#include <string_view>

#include <QAbstractTableModel>

#include "joblist/job_list.h"

namespace skelvane::ui {

/// The job list as a Qt model, a column for each list that shows it: List1 the titles, List2
/// the output names, List3 the skip marks. It holds nothing of its own: every text is read
/// from the job list, and every change to a row's texts or to the rows goes through here, so
/// that the lists show it at once.
class JobListModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { Title, OutputName, SkipMark, ColumnCount };

    /// Shows and changes the window's job list.
    explicit JobListModel(joblist::JobList& jobs, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    /// A cell's text; as its tooltip, a title's source path, mapping and target (noting a source
    /// that does not start like a BVH file), an output name's full path from the working
    /// directory of that moment. Tooltips are worked out when asked for, so they tell the files as
    /// they are then.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    /// Removes rows with everything they hold; the rows after them move up.
    bool removeRows(int row, int count, const QModelIndex& parent = {}) override;

    /// Appends a row for a source chosen as `sourcePath`, whose file name is `fileName` (both as
    /// the file system's bytes), renamed by `mapping`: the title cut from the file name, the
    /// title followed by "_max" as its output name, " " as its skip mark. Returns false, adding
    /// nothing, when the list is full.
    bool appendSource(const std::string& fileName, const std::string& sourcePath,
                      const joblist::MappingChoice& mapping);
    /// Puts a whole record back in at a place (0..rowCount); false, changing nothing, when the
    /// list is full or the place lies outside it.
    bool insertRecord(int row, const joblist::JobRow& record);
    /// Removes every row.
    void clear();

    void setOutputName(int row, std::string name);
    /// " " becomes "x", anything else " ".
    void toggleSkipMark(int row);
    /// Gives a row another mapping, which its title's tooltip names.
    void setMapping(int row, const joblist::MappingChoice& mapping);

private:
    void changed(int row, Column column, int role);

    joblist::JobList& jobs_;
};

}  // namespace skelvane::ui
