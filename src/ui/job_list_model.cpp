#include "ui/job_list_model.h"

#include <utility>

#include "common/title_rule.h"
#include "ui/output_tooltips.h"
#include "ui/plain_text.h"
#include "ui/row_mappings.h"
#include "ui/source_check.h"
#include "ui/text.h"

namespace skelvane::ui {

namespace {

QString titleToolTip(const joblist::JobRow& row) {
    QString named =
        fromBytes(row.sourcePath) + QStringLiteral("\nMapping: ") + choiceName(row.mapping);
    if (const conversion::RigProfile* target = targetOf(row.mapping)) {
        named += QStringLiteral("\nTarget: ") + fromBytes(target->name);
    }
    if (!doesNotStartLikeBvh(row.sourcePath)) return plainToolTip(named);
    return plainToolTip(named +
                        QStringLiteral("\n\nDoes not start like a BVH file (with HIERARCHY);\n"
                                       "Convert still renames whatever matches in it."));
}

}  // namespace

JobListModel::JobListModel(joblist::JobList& jobs, QObject* parent)
    : QAbstractTableModel(parent), jobs_(jobs) {}

int JobListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : jobs_.rowCount();
}

int JobListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant JobListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
    const joblist::JobRow& row = jobs_.row(index.row());
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
            case Title:
                return fromBytes(row.title);
            case OutputName:
                return fromBytes(row.outputName);
            default:
                return fromBytes(row.skipMark);
        }
    }
    if (role == Qt::ToolTipRole) {
        // Read from the job list, which holds what Convert writes: an edit not yet committed
        // to the row is not part of it.
        if (index.column() == Title) return titleToolTip(row);
        if (index.column() == OutputName) return plainToolTip(outputPath(row.outputName));
    }
    return {};
}

bool JobListModel::removeRows(int row, int count, const QModelIndex& parent) {
    if (parent.isValid() || count <= 0 || row < 0 || row + count > jobs_.rowCount()) return false;
    beginRemoveRows({}, row, row + count - 1);
    for (int i = 0; i < count; ++i) jobs_.removeRow(row);
    endRemoveRows();
    return true;
}

bool JobListModel::appendSource(const std::string& fileName, const std::string& sourcePath,
                                const joblist::MappingChoice& mapping) {
    if (jobs_.isFull()) return false;
    std::string title = common::titleOf(fileName);
    std::string outputName = common::defaultOutputName(title);
    beginInsertRows({}, jobs_.rowCount(), jobs_.rowCount());
    jobs_.appendRow(std::move(title), std::move(outputName), std::string(joblist::kConvertMark),
                    sourcePath, mapping);
    endInsertRows();
    return true;
}

bool JobListModel::insertRecord(int row, const joblist::JobRow& record) {
    if (jobs_.isFull() || row < 0 || row > jobs_.rowCount()) return false;
    beginInsertRows({}, row, row);
    jobs_.insertRow(row, record);
    endInsertRows();
    return true;
}

void JobListModel::clear() {
    beginResetModel();
    jobs_.clear();
    endResetModel();
}

void JobListModel::setOutputName(int row, std::string name) {
    jobs_.setOutputName(row, std::move(name));
    changed(row, OutputName, Qt::DisplayRole);
}

void JobListModel::toggleSkipMark(int row) {
    const bool convertMark = jobs_.skipMark(row) == joblist::kConvertMark;
    jobs_.setSkipMark(row, std::string(convertMark ? joblist::kSkipMark : joblist::kConvertMark));
    changed(row, SkipMark, Qt::DisplayRole);
}

void JobListModel::setMapping(int row, const joblist::MappingChoice& mapping) {
    jobs_.setMapping(row, mapping);
    changed(row, Title, Qt::ToolTipRole);
}

void JobListModel::changed(int row, Column column, int role) {
    const QModelIndex cell = index(row, column);
    emit dataChanged(cell, cell, {role});
}

}  // namespace skelvane::ui
