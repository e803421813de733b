#pragma once
// Reading a document that is not well-formed XML as HTML, the way browsers
// mend it: libxml2's HTML parser, in recovery mode, never loading anything
// from outside the document.

#include <QByteArray>

namespace vistorel {

class HtmlTextReader;

// Passes the elements and text of the document to `reader` in document
// order; false when the parser finds no document in the bytes. The encoding
// is the one the XML declaration names, else a byte-order mark's, else UTF-8.
// Named references HTML knows are resolved, with or without ';'.
bool ReadLenientHtml(const QByteArray& bytes, HtmlTextReader& reader);

}  // namespace vistorel
