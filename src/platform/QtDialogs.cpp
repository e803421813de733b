#include "platform/QtDialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>
#include <algorithm>

namespace vistorel {

std::unique_ptr<QTranslator> InstallQtTranslations(QString* error) {
    auto translator = std::make_unique<QTranslator>();
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!translator->load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"), QStringLiteral("_"),
                          folder)) {
        if (error) *error = QStringLiteral("нет файла qtbase_ru.qm в %1").arg(folder);
        return nullptr;
    }
    QCoreApplication::installTranslator(translator.get());
    return translator;
}

QString ToQtFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        entries.append(QStringLiteral("%1 (%2)").arg(parts[i], patterns));
    }
    return entries.join(QStringLiteral(";;"));
}

std::optional<QString> QtDialogs::OpenFile(const QString& filter) {
    const QString path = QFileDialog::getOpenFileName(Caller(), QString(), QString(), ToQtFilter(filter));
    if (path.isEmpty()) return std::nullopt;
    return path;
}

std::optional<SaveChoice> QtDialogs::SaveFile(const QString& filter, const QString& suggested) {
    const QString types = ToQtFilter(filter);
    QString chosen;
    const QString path = QFileDialog::getSaveFileName(Caller(), QString(), suggested, types, &chosen);
    if (path.isEmpty()) return std::nullopt;
    return SaveChoice{path, static_cast<int>(std::max<qsizetype>(0, types.split(QStringLiteral(";;")).indexOf(chosen)))};
}

bool QtDialogs::Confirm(const QString& question) {
    // What is asked about is lost for good: Enter keeps it.
    return QMessageBox::question(Caller(), QStringLiteral("Vistorel"), question, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

std::optional<QString> QtDialogs::OpenPicture() {
    const QString path = QFileDialog::getOpenFileName(
        Caller(), QString(), QString(),
        ToQtFilter(QStringLiteral("Все картинки|*.bmp;*.jpg;*.jpeg|Картинки BMP|*.bmp|Картинки JPEG|*.jpg;*.jpeg")));
    if (path.isEmpty()) return std::nullopt;
    return path;
}

std::optional<TColor> QtDialogs::ChooseColor(TColor initial) {
    const QColor color = QColorDialog::getColor(ToQColor(initial), Caller());
    if (!color.isValid()) return std::nullopt;
    return FromQColor(color);
}

std::optional<Font> QtDialogs::ChooseFont(const Font& initial) {
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, initial.ToQFont(), Caller());
    if (!ok) return std::nullopt;
    Font font = initial;
    font.Name = chosen.family();
    font.Height = chosen.pixelSize() > 0 ? chosen.pixelSize()
                                         : static_cast<int>(chosen.pointSizeF() * 96.0 / 72.0 + 0.5);
    font.Bold = chosen.bold();
    font.Italic = chosen.italic();
    font.Underline = chosen.underline();
    font.StrikeOut = chosen.strikeOut();
    return font;
}

void QtDialogs::ShowMessage(const QString& text) {
    QWidget* caller = Caller();
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), text, QMessageBox::Ok, caller);
    // Above the window it is about; with none, above every window.
    if (caller == nullptr) box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
}

}  // namespace vistorel
