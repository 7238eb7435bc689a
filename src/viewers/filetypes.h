#pragma once
#include <QString>
#include <QStringList>

// The table of supported file types: one line per extension, ".ext,type".

// ".TXT" for "readme.txt"; empty for a name without a dot.
QString FileExtension(const QString& name);
// The lower-cased type of the first line that starts with the extension and a
// comma; empty when no line does (or the extension is empty).
QString LookUpFileType(const QStringList& lines, const QString& extension);
// GIF pictures, archives and the numbered parts of a multi-volume archive
// (".A01") go to the text viewer, which dumps or lists them.
bool GoesToDump(const QString& extension, const QString& type);

enum class ViewRoute { Picture, Media, Help, Font, NoHandler, NotFound };
// Where a file of this extension and type goes. openWhenNotViewable is cleared
// for the files that GoesToDump takes.
ViewRoute RouteFor(const QString& extension, const QString& type, bool hear, bool& openWhenNotViewable);
