#pragma once
// Copies of texts in the library folder "Тексты" below the start directory.
// The record holds a path of at most 50 characters, in Windows-1251: a text
// whose path does not fit (typically one in the user's downloads), or any
// text the user chooses to keep with the program, is copied there under a
// short name of its own, and the record stores that name relative to the
// start directory.

#include <QString>

namespace vistorel {

struct WriteFault;

// The folder, below the start directory.
QString LibraryFolderName();

struct LibraryCopy {
    QString Source;      // the file copied
    QString StoredPath;  // "Тексты/<name>", as the record stores it
    QString Target;      // the copy's full path
    bool Present = false;        // a file with the same contents is there already under that name
    bool FolderExisted = false;  // the library folder was there before the copy
};

// Where a copy of `source` goes: its file name with the characters the
// record cannot hold made to fit and cut so that the stored path has at most
// `capacity` characters, the extension (".fb2.zip" too) kept; a name taken by
// another file gets a number ("Война и мир-2.fb2").
LibraryCopy PlanLibraryCopy(const QString& startDirectory, const QString& source, int capacity);

// Makes the copy (nothing when it is present), creating the folder as
// needed. On failure (a full disk, a folder that cannot be written, a source
// that cannot be read) it raises FileError and leaves nothing behind: no
// partial file, no new folder.
void MakeLibraryCopy(const LibraryCopy& copy, const WriteFault& fault);

// Takes back a copy that MakeLibraryCopy made (when what followed failed),
// with the folder when it made that too.
void RemoveLibraryCopy(const LibraryCopy& copy);

}  // namespace vistorel
