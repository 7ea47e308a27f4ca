#pragma once
#include <QString>

// The file list's dealings with paths and the process's current directory;
// private to the list's own files.

namespace tintora {

// Names compare as the host's file system compares them.
bool sameFileName(const QString& a, const QString& b);
// Makes folder the process's current directory; the system's error code, 0 when entered.
int enterFolder(const QString& folder);
// Enters the nearest folder above `folder` that can be entered and returns it;
// empty when there is none.
QString enterNearestAbove(const QString& folder);
// The process's current directory, its name's bytes kept; empty when unreadable.
QString currentFolder();
// Whether a last name is a mask given with the path (only where names cannot hold "*" or "?").
bool isPatternName(const QString& name);

struct SplitPath {
    QString folder; // with its drive, ready for the Directory property
    QString file;   // a file name, a pattern, or empty
};

// The current directory as the list names it: the listed folder's own spelling
// while that is where the process is.
QString currentPathAsListed(const QString& listed);
// Splits a path given to the list into folder and file part, starting from the
// current directory `start`; throws InOutError for a folder that cannot be entered.
SplitPath splitPath(const QString& given, const QString& start);

} // namespace tintora
