#include "system/qt/DocumentsFolder.h"

#include <QDir>
#include <QStandardPaths>

namespace terrabo {

DocumentsFolder::DocumentsFolder(std::string overridePath) {
    const QString chosen = overridePath.empty()
                               ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
                               : QString::fromStdString(overridePath);
    path_ = QDir::cleanPath(QDir(chosen).absolutePath()).toStdString();
}

std::string DocumentsFolder::filePath(const std::string& fileName) const {
    return QDir(QString::fromStdString(path_))
        .filePath(QString::fromStdString(fileName))
        .toStdString();
}

} // namespace terrabo
