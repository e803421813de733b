#include "MonkeyDoubles.h"

#include <algorithm>

namespace vistorel::monkey {

void CountingErrors::HandleError(const QString& message) {
    ++Count;
    ++Distinct[message.section(QLatin1Char('\n'), 0, 0).left(160)];
}

bool RandomDialogs::Cancel() {
    ++Asked;
    const bool cancel = std::uniform_int_distribution<int>(0, 99)(random_) < 35;
    if (cancel) ++Cancelled;
    return cancel;
}

std::optional<QString> RandomDialogs::OneOf(const QStringList& files) {
    if (files.isEmpty()) return std::nullopt;
    return files[std::uniform_int_distribution<qsizetype>(0, files.size() - 1)(random_)];
}

std::optional<QString> RandomDialogs::OpenFile(const QString&) {
    if (Cancel()) return std::nullopt;
    // Now and then a picture where a text is asked for: the user may pick anything.
    if (std::uniform_int_distribution<int>(0, 9)(random_) == 0) return OneOf(PictureFiles);
    return OneOf(TextFiles);
}

std::optional<QString> RandomDialogs::OpenPicture() {
    if (Cancel()) return std::nullopt;
    if (std::uniform_int_distribution<int>(0, 9)(random_) == 0) return OneOf(TextFiles);
    return OneOf(PictureFiles);
}

std::optional<TColor> RandomDialogs::ChooseColor(TColor) {
    if (Cancel()) return std::nullopt;
    return static_cast<TColor>(std::uniform_int_distribution<std::uint32_t>(0, 0xFFFFFF)(random_));
}

std::optional<Font> RandomDialogs::ChooseFont(const Font& initial) {
    if (Cancel()) return std::nullopt;
    static const char* const kFaces[] = {"MS Sans Serif", "Westminster", "DejaVu Sans", "DejaVu Serif",
                                         "DejaVu Sans Mono", "No Such Face"};
    Font font = initial;
    font.Name = QString::fromLatin1(kFaces[std::uniform_int_distribution<int>(0, 5)(random_)]);
    font.Height = std::uniform_int_distribution<int>(1, 120)(random_);
    const int style = std::uniform_int_distribution<int>(0, 15)(random_);
    font.Bold = style & 1;
    font.Italic = style & 2;
    font.Underline = style & 4;
    font.StrikeOut = style & 8;
    font.Color = static_cast<TColor>(std::uniform_int_distribution<std::uint32_t>(0, 0xFFFFFF)(random_));
    return font;
}

void RandomDialogs::ShowMessage(const QString&) { ++Messages; }

std::optional<SaveChoice> RandomDialogs::SaveFile(const QString& filter, const QString&) {
    if (Cancel()) return std::nullopt;
    const std::optional<QString> path = OneOf(SaveFiles);
    if (!path) return std::nullopt;
    // Any of the file types offered.
    const auto types = std::max<qsizetype>(1, (filter.count(u'|') + 1) / 2);
    return SaveChoice{*path, static_cast<int>(std::uniform_int_distribution<qsizetype>(0, types - 1)(random_))};
}

bool RandomDialogs::Confirm(const QString&) { return !Cancel(); }

}  // namespace vistorel::monkey
