#pragma once
// Length-prefixed string of the data files: one length byte (0..N) followed by
// N bytes of Windows-1251 text. Only the first Length bytes are significant;
// the bytes after them may hold leftovers of an earlier, longer value and are
// kept as they are, so a record read and written back stays byte for byte.

#include "platform/TextCodec.h"

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace vistorel {

template <int N>
struct ShortString {
    static_assert(N > 0 && N <= 255, "the length must fit its byte");

    std::uint8_t Length = 0;
    char Chars[N] = {};

    // Number of significant bytes; a length byte beyond the capacity (a
    // damaged file) is taken as the capacity.
    int Size() const { return std::min<int>(Length, N); }

    QString Text() const { return FromCp1251(QByteArrayView(Chars, Size())); }

    // Stores the first N characters of the text; the bytes after the new
    // length keep what they held.
    void SetText(const QString& text) {
        const QByteArray bytes = ToCp1251(QStringView(text).left(N));
        std::memcpy(Chars, bytes.constData(), static_cast<std::size_t>(bytes.size()));
        Length = static_cast<std::uint8_t>(bytes.size());
    }

    QByteArray Bytes() const { return QByteArray(Chars, Size()); }

    // The significant bytes of another field as they are, cut to N; the bytes
    // after the new length keep what they held.
    template <int M>
    void CopyFrom(const ShortString<M>& other) {
        const int size = std::min(other.Size(), N);
        std::memcpy(Chars, other.Chars, static_cast<std::size_t>(size));
        Length = static_cast<std::uint8_t>(size);
    }

    // Equal length bytes and equal significant bytes: letter case and
    // trailing spaces count.
    template <int M>
    bool SameAs(const ShortString<M>& other) const {
        return Length == other.Length && Size() == other.Size() &&
               std::memcmp(Chars, other.Chars, static_cast<std::size_t>(Size())) == 0;
    }
};

static_assert(sizeof(ShortString<100>) == 101 && alignof(ShortString<100>) == 1);
static_assert(std::is_trivially_copyable_v<ShortString<100>> &&
              std::is_standard_layout_v<ShortString<100>>);

}  // namespace vistorel
