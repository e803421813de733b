// Qt's own texts in Russian: the buttons of a message box and the captions of
// the file dialog, as the program shows them once the translations are in.

#include "platform/QtDialogs.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QMessageBox>
#include <QTranslator>
#include <gtest/gtest.h>

using namespace vistorel;

namespace {

TEST(QtTranslations, StandardDialogsSpeakRussian) {
    QString error;
    std::unique_ptr<QTranslator> texts = InstallQtTranslations(&error);
    ASSERT_TRUE(texts) << error.toStdString();

    QMessageBox box;
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Yes);
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), QStringLiteral("Отмена"));
    EXPECT_EQ(box.button(QMessageBox::Yes)->text().remove(u'&'), QStringLiteral("Да"));

    QFileDialog files;
    files.setOption(QFileDialog::DontUseNativeDialog);
    EXPECT_EQ(files.labelText(QFileDialog::Reject), QStringLiteral("Отмена"));
    EXPECT_NE(files.labelText(QFileDialog::LookIn), QStringLiteral("Look in:"));

    // Without them (as before) the same boxes were in English.
    texts.reset();
    QMessageBox english;
    english.setStandardButtons(QMessageBox::Cancel);
    EXPECT_EQ(english.button(QMessageBox::Cancel)->text(), QStringLiteral("Cancel"));
}

}  // namespace
