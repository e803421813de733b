// The save dialog through Qt: the path chosen and which of the file types,
// counted from 0, even where a type's description has brackets and a
// semicolon of its own.

#include "platform/QtDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace vistorel;

namespace {

TEST(QtDialogs, SaveFileTellsTheChosenFileType) {
    QTemporaryDir dir;
    const QString filter = QStringLiteral("Таблицы CSV (через запятую)|*.csv|Для русских таблиц (через «;», дробные с "
                                          "запятой)|*.csv|Все файлы|*.*");
    QtDialogs dialogs;
    for (const int type : {1, 2, 0}) {
        const QString path = dir.filePath(QStringLiteral("итог-%1.csv").arg(type));
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            dialog->selectNameFilter(dialog->nameFilters().value(type));
            dialog->selectFile(path);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        const std::optional<SaveChoice> choice = dialogs.SaveFile(filter, dir.filePath(QStringLiteral("x.csv")));
        ASSERT_TRUE(choice);
        EXPECT_EQ(choice->Path, path);
        EXPECT_EQ(choice->FileType, type);
    }
}

}  // namespace
