#pragma once
// The standard dialogs of the desktop, through Qt.

#include "platform/Dialogs.h"

#include <memory>

class QTranslator;

namespace vistorel {

// Qt's own Russian texts (the buttons and captions of the standard dialogs
// and message boxes), installed into the application for as long as the
// result lives; empty, with the reason in *error, when they cannot be loaded.
std::unique_ptr<QTranslator> InstallQtTranslations(QString* error);

class QtDialogs : public Dialogs {
public:
    std::optional<QString> OpenFile(const QString& filter) override;
    std::optional<QString> OpenPicture() override;
    std::optional<TColor> ChooseColor(TColor initial) override;
    std::optional<Font> ChooseFont(const Font& initial) override;
    void ShowMessage(const QString& text) override;
    std::optional<QString> SaveFile(const QString& filter, const QString& suggested) override;
    bool Confirm(const QString& question) override;
};

}  // namespace vistorel
