#pragma once
// Names on screen. The list and the tree show each name as ShownName draws it
// (platform/names.h: look-alikes for the characters DOS cannot hold); the
// name itself rides along in the item, and every command takes it from there,
// never from the text on screen.
#include <QString>
#include <QStringList>

class QListWidget;
class QListWidgetItem;
class QTreeWidgetItem;

void AddFileNames(QListWidget* list, const QStringList& names);
QString ItemName(const QListWidgetItem* item);
// The name of the list's row, empty when there is none.
QString RowName(const QListWidget* list, int row);

QString NodeName(const QTreeWidgetItem* node);
void SetNodeName(QTreeWidgetItem* node, const QString& name);
