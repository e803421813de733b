#pragma once
// Text encodings: record strings are Windows-1251 bytes; text files read from
// disk are UTF-8 when they carry a BOM or are valid UTF-8, else Windows-1251.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace vistorel {

QString FromCp1251(QByteArrayView bytes);
// Characters without a Windows-1251 code become '?'.
QByteArray ToCp1251(QStringView text);
// True when every character has a Windows-1251 code (nothing would become '?').
bool FitsCp1251(QStringView text);

// Decodes the contents of a text file: UTF-8 (BOM dropped) when the bytes
// start with a UTF-8 BOM or are valid UTF-8, Windows-1251 otherwise.
QString DecodeText(const QByteArray& bytes);

}  // namespace vistorel
