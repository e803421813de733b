#pragma once
// What the book fuzz targets check of every document a reader gives: lines
// within the limit, each with words and no space at either end or doubled.

#include "FuzzSupport.h"

#include "books/Document.h"

namespace vistorel::fuzz {

// Small limits, so that the fuzzer reaches them with short inputs.
inline ReadLimits FuzzLimits() {
    ReadLimits limits;
    limits.MaxUnpackedBytes = 1024 * 1024;
    limits.MaxEntries = 64;
    limits.MaxDepth = 40;
    limits.MaxLines = 500;
    limits.MaxCharacters = 1024 * 1024;
    limits.MaxAttributes = 200;
    limits.MaxAttributePairs = 100 * 1000;
    return limits;
}

inline void CheckBookLines(const Document& document, const ReadLimits& limits) {
    FUZZ_CHECK(document.Lines.size() <= limits.MaxLines);
    for (const QString& line : document.Lines) {
        FUZZ_CHECK(!line.isEmpty());
        FUZZ_CHECK(!line.front().isSpace() && !line.back().isSpace());
        FUZZ_CHECK(!line.contains(QStringLiteral("  ")));
        FUZZ_CHECK(!line.contains(u'\n') && !line.contains(u'\r') && !line.contains(u'\t'));
    }
}

}  // namespace vistorel::fuzz
