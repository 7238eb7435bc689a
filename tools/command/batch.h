#pragma once
#include <QString>
#include <QStringList>

namespace command {

// A batch file being run: its lines are read once when it starts.
struct Batch {
    QString path;         // DOS path
    QStringList args;     // %0 (the name it was called by), %1, ...
    QStringList lines;
    int next = 0;         // index of the next line
    bool stop = false;
    // A batch file started from a batch file without CALL takes its place.
    bool chained = false;
    QString chainPath;
    QStringList chainArgs;
};

// The lines of a batch file's text, CR LF or LF.
QStringList BatchLines(const QByteArray& bytes);
// The line index after ":label" (compared ignoring case, first word only), or -1.
int FindLabel(const QStringList& lines, const QString& label);

}  // namespace command
