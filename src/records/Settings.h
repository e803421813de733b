#pragma once
// The user's preferences: one 220-byte record, the same bytes in memory and in
// the settings file "Vistorel.ini". Padding and reserved bytes are never
// written by the program; they keep what the file held (0 for a fresh record).

#include "platform/FileAccess.h"
#include "records/ShortString.h"

#include <QString>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace vistorel {

struct Settings {
    ShortString<100> TextPath;            // full path of the current text
    std::uint8_t Pad101 = 0;
    std::uint16_t Level = 0;              // 0 beginners, 1 normal, 2 hard, 3 view mode
    std::uint8_t FontSize = 0;            // points of the exercise text
    std::uint8_t UsePicture = 0;          // boolean: picture instead of BackColor in the preview
    std::uint8_t DefaultFontSize = 0;     // boolean: the default size (12) was chosen
    std::uint8_t Pad107 = 0;
    std::int32_t TextColor = 0;           // 0x00BBGGRR
    std::int32_t BackColor = 0;           // 0x00BBGGRR
    std::uint8_t SmartDivider = 0;        // boolean: line mode assembles lines from words
    std::uint8_t Reserved117 = 0;
    ShortString<100> PicturePath;         // background picture file
    std::uint8_t Pad219 = 0;
};

// The record is written with a plain byte copy, so its layout must be the
// file's layout exactly.
static_assert(std::endian::native == std::endian::little, "the files hold little-endian integers");
static_assert(std::is_trivially_copyable_v<Settings> && std::is_standard_layout_v<Settings>);
static_assert(sizeof(Settings) == 220);
static_assert(offsetof(Settings, TextPath) == 0);
static_assert(offsetof(Settings, Pad101) == 101);
static_assert(offsetof(Settings, Level) == 102);
static_assert(offsetof(Settings, FontSize) == 104);
static_assert(offsetof(Settings, UsePicture) == 105);
static_assert(offsetof(Settings, DefaultFontSize) == 106);
static_assert(offsetof(Settings, Pad107) == 107);
static_assert(offsetof(Settings, TextColor) == 108);
static_assert(offsetof(Settings, BackColor) == 112);
static_assert(offsetof(Settings, SmartDivider) == 116);
static_assert(offsetof(Settings, Reserved117) == 117);
static_assert(offsetof(Settings, PicturePath) == 118);
static_assert(offsetof(Settings, Pad219) == 219);

// Replaces the record's leading bytes with as many of the file's first 220
// bytes as it holds; the rest of the record stays as it was. A missing file,
// or one that cannot be read (the outcome says why), changes nothing.
FileRead::Status LoadSettingsFile(const QString& path, Settings& record, QString* reason = nullptr);

// Writes the record as exactly 220 bytes, replacing the file only once the new
// contents are complete. False when the file could not be written (error then
// says why); the previous file is then left as it was.
bool SaveSettingsFile(const QString& path, const Settings& record, QString* error = nullptr,
                      const WriteFault& fault = {});

}  // namespace vistorel
