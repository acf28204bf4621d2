#include "system/qt/DocumentsFolder.h"

#include <QDir>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace terrabo {
namespace {

TEST(DocumentsFolder, OverrideWinsAndIsMadeAbsolute) {
    const DocumentsFolder given("/tmp/docs/../terrabo-docs/");
    EXPECT_EQ(given.path(), "/tmp/terrabo-docs");
    EXPECT_EQ(given.filePath("name.plist"), "/tmp/terrabo-docs/name.plist");

    const DocumentsFolder relative("here");
    EXPECT_EQ(relative.path(), QDir::current().absoluteFilePath("here").toStdString());
}

TEST(DocumentsFolder, DefaultIsTheAppDataFolder) {
    QStandardPaths::setTestModeEnabled(true);
    const std::string expected =
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString();
    EXPECT_FALSE(expected.empty());
    EXPECT_EQ(DocumentsFolder().path(), expected);
    QStandardPaths::setTestModeEnabled(false);
}

} // namespace
} // namespace terrabo
