// Fuzz target: the settings file "Vistorel.ini" and the difficulty preset
// its level picks. A record read from any file saves back to exactly the
// bytes it was read from, and no level, however damaged, sets a preset the
// exercise cannot run with.

#include "FuzzSupport.h"

#include "records/DifficultyPreset.h"
#include "records/Settings.h"

#include <algorithm>
#include <cstring>

namespace vistorel::fuzz {
namespace {

template <class Record>
void Fill(Record& record, char byte) {
    const QByteArray pattern(sizeof(Record), byte);
    std::memcpy(&record, pattern.constData(), sizeof(Record));
}

// The record as a file of any length leaves it: the file's first bytes, the
// rest as it was.
Settings LoadAndCheck(const QString& file, const QByteArray& contents, char fill) {
    Settings record;
    Fill(record, fill);
    const QByteArray before = RecordBytes(record);
    QString reason;
    FUZZ_CHECK(LoadSettingsFile(file, record, &reason) == FileRead::Status::Read);
    const qsizetype taken = std::min<qsizetype>(contents.size(), sizeof(Settings));
    const QByteArray after = RecordBytes(record);
    FUZZ_CHECK(after.left(taken) == contents.left(taken));
    FUZZ_CHECK(after.mid(taken) == before.mid(taken));
    return record;
}

void CheckSavedBack(const Settings& record, const QByteArray& input) {
    const QString copy = ScratchFile(QStringLiteral("Vistorel-saved.ini"));
    QString error;
    FUZZ_CHECK(SaveSettingsFile(copy, record, &error));
    const QByteArray saved = ReadScratch(copy);
    FUZZ_CHECK(saved == RecordBytes(record));
    if (input.size() >= static_cast<qsizetype>(sizeof(Settings))) FUZZ_CHECK(saved == input.left(sizeof(Settings)));
    // Read again, the saved file gives the same record, whatever it starts from.
    const Settings again = LoadAndCheck(copy, saved, '\x5A');
    FUZZ_CHECK(RecordBytes(again) == saved);
}

// The paths are length-prefixed Windows-1251 strings: a damaged length byte
// reads as the capacity, and storing the text read gives the same bytes
// (but for the one byte that has no character).
template <int N>
void CheckPath(const ShortString<N>& path) {
    const QString text = path.Text();
    FUZZ_CHECK(path.Size() <= N && text.size() == path.Size());
    ShortString<N> stored = path;
    stored.SetText(text);
    FUZZ_CHECK(stored.Size() == path.Size());
    FUZZ_CHECK(std::memcmp(stored.Chars + stored.Size(), path.Chars + path.Size(),
                           static_cast<std::size_t>(N - path.Size())) == 0);
    if (!path.Bytes().contains('\x98')) FUZZ_CHECK(stored.Bytes() == path.Bytes());
}

// Levels 0..3 set every stage to a positive length and interval; any other
// level leaves the preset alone. Entry 0 of the tables is never touched.
void CheckPreset(std::uint16_t level) {
    DifficultyPreset preset;
    Fill(preset, '\x77');
    const QByteArray before = RecordBytes(preset);
    preset.Apply(level);
    if (level > 3) {
        FUZZ_CHECK(RecordBytes(preset) == before);
        return;
    }
    FUZZ_CHECK(preset.StageTicks[0] == 0x7777 && preset.StageInterval[0] == 0x7777);
    for (std::size_t n = 1; n <= 5; ++n) {
        FUZZ_CHECK(preset.StageTicks[n] > 0 && preset.StageTicks[n] != 0x7777);
        FUZZ_CHECK(preset.StageInterval[n] > 0 && preset.StageInterval[n] != 0x7777);
    }
    FUZZ_CHECK(preset.RepeatStages <= 1);
    DifficultyPreset twice = preset;
    twice.Apply(level);
    FUZZ_CHECK(RecordBytes(twice) == RecordBytes(preset));
}

}  // namespace
}  // namespace vistorel::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vistorel;
    using namespace vistorel::fuzz;
    const QString file = ScratchFile(QStringLiteral("Vistorel.ini"));
    WriteScratch(file, data, size);
    const QByteArray input = InputBytes(data, size);

    const Settings record = LoadAndCheck(file, input, '\xA5');
    CheckSavedBack(record, input);
    CheckPath(record.TextPath);
    CheckPath(record.PicturePath);
    CheckPreset(record.Level);
    return 0;
}
