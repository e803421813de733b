#pragma once
// The standard dialogs of the desktop, through Qt.

#include "platform/Dialogs.h"

#include <functional>
#include <memory>

class QTranslator;
class QWidget;

namespace vistorel {

// Qt's own Russian texts (the buttons and captions of the standard dialogs
// and message boxes), installed into the application for as long as the
// result lives; empty, with the reason in *error, when they cannot be loaded.
std::unique_ptr<QTranslator> InstallQtTranslations(QString* error);

// Each dialog is given the window it is called from as its parent, so that
// the desktop keeps it above that window (and centres it there).
class QtDialogs : public Dialogs {
public:
    // The window a dialog is called from now; none: the dialog has no parent.
    void SetCaller(std::function<QWidget*()> caller) { caller_ = std::move(caller); }

    std::optional<QString> OpenFile(const QString& filter) override;
    std::optional<QString> OpenPicture() override;
    std::optional<TColor> ChooseColor(TColor initial) override;
    std::optional<Font> ChooseFont(const Font& initial) override;
    void ShowMessage(const QString& text) override;
    std::optional<SaveChoice> SaveFile(const QString& filter, const QString& suggested) override;
    bool Confirm(const QString& question) override;

private:
    QWidget* Caller() const { return caller_ ? caller_() : nullptr; }
    std::function<QWidget*()> caller_;
};

}  // namespace vistorel
