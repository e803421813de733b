#pragma once
// JPEG decoding through libjpeg.

#include <QByteArray>
#include <QImage>
#include <QString>

namespace vistorel {

// Decodes a JPEG picture; on failure returns a null image and sets *error.
QImage DecodeJpeg(const QByteArray& data, QString* error);

inline bool LooksLikeJpeg(const QByteArray& data) {
    return data.size() >= 3 && static_cast<unsigned char>(data[0]) == 0xFF &&
           static_cast<unsigned char>(data[1]) == 0xD8 && static_cast<unsigned char>(data[2]) == 0xFF;
}

}  // namespace vistorel
