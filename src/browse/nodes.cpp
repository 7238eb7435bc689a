// The drive window's folder tree: its nodes by index, their paths, images and
// whether their subfolders were read.
#include <QTreeWidget>
#include "browse/frmBrws.h"
#include "browse/shownnames.h"
#include "ui/toolbaricons.h"

QTreeWidgetItem* frmBrws::Node(int index) const {
    return index > 0 && index < nodes_.size() ? nodes_[index] : nullptr;
}

int frmBrws::NodeIndex(const QTreeWidgetItem* item) const { return item ? item->data(0, Qt::UserRole).toInt() : 0; }

int frmBrws::AddNode(QTreeWidgetItem* parent, const QString& name) {
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(DirList);
    SetNodeName(item, name);
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    const int index = nodes_.size();
    item->setData(0, Qt::UserRole, index);
    nodes_.append(item);
    SetNodeImage(item, false);
    return index;
}

void frmBrws::RemoveNode(int index) {
    QTreeWidgetItem* item = Node(index);
    if (!item) return;
    // Every node below goes with it; their places stay empty.
    QList<QTreeWidgetItem*> stack{item};
    while (!stack.isEmpty()) {
        QTreeWidgetItem* n = stack.takeLast();
        nodes_[NodeIndex(n)] = nullptr;
        for (int i = 0; i < n->childCount(); ++i) stack << n->child(i);
    }
    delete item;
}

void frmBrws::ClearNodes() {
    const QSignalBlocker block(DirList);
    DirList->clear();
    nodes_ = {nullptr, nullptr};
    nodes_.resize(1);
    subfoldersRead_.clear();
}

QString frmBrws::FullPath(const QTreeWidgetItem* item) const {
    QStringList parts;
    for (const QTreeWidgetItem* n = item; n; n = n->parent()) parts.prepend(NodeName(n));
    return parts.join('\\');
}

// Marks a node whose subfolders were read, so that expanding it again does not
// add them a second time. Kept beside the nodes rather than in the items: a
// change to an item's data tells the whole view, and logging a drive marks thousands.
bool frmBrws::SubfoldersRead(const QTreeWidgetItem* item) const {
    const int index = NodeIndex(item);
    return index > 0 && index < subfoldersRead_.size() && subfoldersRead_[index];
}

void frmBrws::MarkSubfoldersRead(QTreeWidgetItem* item) {
    const int index = NodeIndex(item);
    if (index <= 0) return;
    if (subfoldersRead_.size() <= index) subfoldersRead_.resize(nodes_.size());
    subfoldersRead_[index] = true;
}

int frmBrws::SelectedNodeIndex() const { return NodeIndex(DirList->currentItem()); }

void frmBrws::SetNodeImage(QTreeWidgetItem* item, bool opened) {
    const QIcon image = DirListImage(opened ? "opened" : "closed");
    if (item->icon(0).cacheKey() != image.cacheKey()) item->setIcon(0, image);
}
