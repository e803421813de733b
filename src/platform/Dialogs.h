#pragma once
// The standard dialogs and the message box, behind one small interface: the
// program uses the Qt implementation, tests a scripted one.

#include "platform/Colour.h"
#include "platform/Font.h"

#include <QString>
#include <optional>

namespace vistorel {

// The file the user chose to write, and which of the filter's file types
// was chosen for it (0 for the first).
struct SaveChoice {
    QString Path;
    int FileType = 0;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Filter in the "Description|*.ext|Description|*.*" form of the window definitions.
    virtual std::optional<QString> OpenFile(const QString& filter) = 0;
    // A picture file (BMP or JPEG) with preview.
    virtual std::optional<QString> OpenPicture() = 0;
    virtual std::optional<TColor> ChooseColor(TColor initial) = 0;
    virtual std::optional<Font> ChooseFont(const Font& initial) = 0;
    // A standard message box with an OK button.
    virtual void ShowMessage(const QString& text) = 0;
    // A file to write, proposing `suggested`; none when the user cancels.
    virtual std::optional<SaveChoice> SaveFile(const QString& filter, const QString& suggested) {
        (void)filter;
        (void)suggested;
        return std::nullopt;
    }
    // A question with Yes and No; true for Yes.
    virtual bool Confirm(const QString& question) {
        (void)question;
        return false;
    }
};

// Converts "Description|*.ext|..." into Qt's "Description (*.ext);;..." form.
QString ToQtFilter(const QString& filter);

}  // namespace vistorel
