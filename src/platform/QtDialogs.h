#pragma once
// The standard dialogs of the desktop, through Qt.

#include "platform/Dialogs.h"

namespace vistorel {

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
