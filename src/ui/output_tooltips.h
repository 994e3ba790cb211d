#pragma once

#include <string>

#include <QObject>
#include <QString>

class QWidget;

namespace skelvane::ui {

/// The full path of the file an output name becomes, as the run opens it: joined to the working
/// directory of this moment, an absolute name as it is.
QString outputPath(const std::string& outputName);

/// The Convert button's tooltip, which names the folder Convert writes into, worked out whenever
/// it is shown from the working directory of that moment. (An output name's tooltip, the file
/// it becomes, is the job list model's.)
class OutputToolTips final : public QObject {
public:
    /// Gives Command2 its tooltip; the window's owner keeps this object.
    explicit OutputToolTips(QWidget& Command2);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& Command2_;
};

}  // namespace skelvane::ui
