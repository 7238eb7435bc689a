#include "viewers/dispatch.h"
#include <QApplication>
#include "browse/frmBrws.h"
#include "browse/shownnames.h"
#include "platform/names.h"
#include "config/settings.h"
#include "model/slots.h"
#include "ui/errors.h"
#include "ui/prompter.h"
#include "viewers/entries.h"
#include "viewers/filetypes.h"
#include "viewers/frmDump.h"
#include "viewers/frmGV.h"
#include "viewers/frmMedia.h"
#include "viewers/hooks.h"

namespace {
// Shows one file; true when it was shown or started (it counts as handled).
bool ShowOne(const QString& name, const QString& path, FileScope scope, ShowMode mode, const QStringList& types) {
    const bool taggedWalk = scope == FileScope::TaggedFiles;
    const bool hear = mode == ShowMode::Hear;
    const QString extension = FileExtension(name);
    bool open = mode == ShowMode::Open;
    switch (RouteFor(extension, LookUpFileType(types, extension), hear, open)) {
    case ViewRoute::Picture: {
        frmGV* gv = PictureForm();
        gv->setWindowTitle(platform::ShownName(name));
        if (!gv->LoadPictureFile(path)) return false;
        gv->mnuNext->setVisible(taggedWalk);
        CenterForm(gv, true);
        return true;
    }
    case ViewRoute::Media: {
        frmMedia* player = NewMediaForm();
        player->setWindowTitle(platform::ShownName(name));
        if (!CheckMedia(player, path)) return false;
        SetBusy();
        const bool opened = player->OpenMedia();
        EndBusy();
        if (!opened) {
            AbortFlag = -1;
            return false;
        }
        TaggedView = taggedWalk ? -1 : 0;
        player->mnuNext->setVisible(taggedWalk);
        CenterForm(player, taggedWalk);
        return true;
    }
    case ViewRoute::Help:
    case ViewRoute::Font: {
        if (!CheckViewerFile(path)) return false;
        const bool help = LookUpFileType(types, extension) == "help";
        if (ViewerHooksOf().runExternal)
            ViewerHooksOf().runExternal(WindowsFolder() + "\\" + (help ? "winhlp32" : "fontview"), {path});
        return true;
    }
    case ViewRoute::NoHandler: return false;
    case ViewRoute::NotFound: break;
    }
    if (open) {
        if (ViewerHooksOf().executeFile) ViewerHooksOf().executeFile(path);
        AbortFlag = -1;   // a double click never walks on
        return true;
    }
    if (hear) {
        ShowMessage(CantPlayMessage, MsgStyle::Critical, "Error");
        AbortFlag = -1;
        return false;
    }
    frmDump* dump = DumpForm();
    dump->setWindowTitle(platform::ShownName(name));
    if (!dump->LoadDump(path)) return false;
    dump->SetMode(false, taggedWalk);
    CenterForm(dump, true);
    return true;
}
}  // namespace

void ShowFiles(frmBrws* w, FileScope scope, ShowMode mode) {
    if (!w || w->FileList->count() == 0) return;
    const bool taggedWalk = scope == FileScope::TaggedFiles;
    const int toShow = taggedWalk ? int(w->FileList->selectedItems().size()) : 1;
    const int first = taggedWalk ? 0 : w->FileList->currentRow();
    if (first < 0 || toShow == 0) return;
    const QStringList types = ReadSection("[supportedfiletypes]");
    int handled = 1;
    AbortFlag = 0;
    for (int row = first; row < w->FileList->count(); ++row) {
        QListWidgetItem* item = w->FileList->item(row);
        if (taggedWalk && !item->isSelected()) continue;
        const QString name = ItemName(item);
        if (ShowOne(name, EntryPath(CurrentDriveSlot(), row, name), scope, mode, types))
            ++handled;
        if (AbortFlag || handled > toShow || !taggedWalk) break;
    }
}
