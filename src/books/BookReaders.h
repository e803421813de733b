#pragma once
// The readers of the two book formats. Both raise FileError naming path for
// a damaged book or one past the limits, and RangeError past the line limit.

#include "books/Document.h"

#include <QByteArray>
#include <QString>

namespace vistorel {

class ZipArchive;

// An FB2 document: the paragraphs, titles, subtitles and verses of its main
// bodies in order, a line each; note bodies and pictures left out. The
// encoding its XML declaration names is honoured.
Document ReadFb2(const QByteArray& bytes, const QString& path, const ReadLimits& limits);

// An EPUB book (versions 2 and 3): the documents of its reading order, each
// block (paragraph, heading, list item...) a line; scripts and styles dropped.
Document ReadEpub(const ZipArchive& archive, const QString& path, const ReadLimits& limits);

}  // namespace vistorel
