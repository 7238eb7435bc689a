#include "browse/shownnames.h"
#include <QListWidget>
#include <QTreeWidgetItem>
#include "platform/names.h"

namespace {
// Qt::UserRole of a tree node holds its index (frmBrws::NodeIndex).
constexpr int NameRole = Qt::UserRole + 2;
}  // namespace

void AddFileNames(QListWidget* list, const QStringList& names) {
    QStringList shown;
    shown.reserve(names.size());
    for (const QString& name : names) shown << platform::ShownName(name);
    // One insertion for the lot: a big folder's list changes once, not per file.
    const int first = list->count();
    list->addItems(shown);
    for (int i = 0; i < names.size(); ++i)
        if (shown[i] != names[i]) list->item(first + i)->setData(NameRole, names[i]);
}

QString ItemName(const QListWidgetItem* item) {
    if (!item) return QString();
    const QVariant name = item->data(NameRole);
    return name.isValid() ? name.toString() : item->text();
}

QString RowName(const QListWidget* list, int row) { return ItemName(list->item(row)); }

QString NodeName(const QTreeWidgetItem* node) {
    if (!node) return QString();
    const QVariant name = node->data(0, NameRole);
    return name.isValid() ? name.toString() : node->text(0);
}

void SetNodeName(QTreeWidgetItem* node, const QString& name) {
    node->setText(0, platform::ShownName(name));
    node->setData(0, NameRole, name);
}
