#include "browse/spoken.h"
#include <QListWidget>
#include "browse/views.h"

namespace {
QString AsShown(const QString& folder) { return folder.size() == 2 ? folder + u'\\' : folder; }

void SpeakTag(QListWidgetItem* item) {
    const QVariant spoken = item->isSelected() ? QVariant(TaggedFileName(item->text())) : QVariant();
    // Setting the same value again changes nothing and is not reported again.
    if (item->data(Qt::AccessibleTextRole) != spoken) item->setData(Qt::AccessibleTextRole, spoken);
}
}  // namespace

QString FolderTreeName(const QString& drive) { return "Folder tree of " + drive; }

QString FolderFilesName(const QString& folder) { return "Files of " + AsShown(folder); }

QString ViewFilesName(ViewSelection selection, const QString& drive, const QString& folder) {
    const bool tagged = selection == ViewSelection::GlobalTagged || selection == ViewSelection::BranchTagged;
    const bool branch = selection == ViewSelection::BranchMatching || selection == ViewSelection::BranchTagged;
    return QString(tagged ? "Tagged files of " : "Matching files of ") + (branch ? AsShown(folder) : drive);
}

QString TaggedFileName(const QString& text) { return text + ", tagged"; }

void SpeakTags(QListWidget* list) {
    QObject::connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, list,
                     [list](const QItemSelection& selected, const QItemSelection& deselected) {
                         for (const QItemSelection* range : {&selected, &deselected})
                             for (const QModelIndex& index : range->indexes())
                                 if (QListWidgetItem* item = list->item(index.row())) SpeakTag(item);
                     });
    QObject::connect(list, &QListWidget::itemChanged, list, [](QListWidgetItem* item) { SpeakTag(item); });
}
