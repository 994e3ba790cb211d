#include "ui/text.h"

#include <QFile>

namespace skelvane::ui {

QString fromBytes(std::string_view bytes) {
    return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::string toBytes(const QString& text) {
    return QFile::encodeName(text).toStdString();
}

}  // namespace skelvane::ui
