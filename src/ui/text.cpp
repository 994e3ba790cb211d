#include "ui/text.h"

#include <QFile>

namespace skelvane::ui {

// Bytes name files as the core takes them: the system's own on Linux, UTF-8 on Windows, where
// QFile's encoding would be the ANSI code page.
QString fromBytes(std::string_view bytes) {
    const QByteArray array(bytes.data(), static_cast<qsizetype>(bytes.size()));
#ifdef Q_OS_WIN
    return QString::fromUtf8(array);
#else
    return QFile::decodeName(array);
#endif
}

std::string toBytes(const QString& text) {
#ifdef Q_OS_WIN
    return text.toUtf8().toStdString();
#else
    return QFile::encodeName(text).toStdString();
#endif
}

}  // namespace skelvane::ui
