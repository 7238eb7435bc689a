#pragma once
#include <QIcon>
#include <QString>

// The toolbar's pictures, drawn by the program itself, by button key ("tbCopy").
QIcon ToolbarIcon(const QString& key);
// The folder tree's images: "opened" and "closed".
QIcon DirListImage(const QString& name);
