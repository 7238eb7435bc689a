#include "browse/filelist.h"
#include "browse/frmBrws.h"
#include "browse/tagging.h"
#include "config/more.h"
#include "fileops/operations.h"
#include "fileops/steps.h"
#include "fileops/validate.h"
#include "model/slots.h"
#include "platform/files.h"
#include "platform/trash.h"
#include "platform/userfile.h"
#include "ui/errors.h"
#include "ui/prompter.h"

namespace {
enum class Trashing { Trashed, Kept, ForGood };

// Into the trash with the file's own attributes, so that a restore gives them
// back. Where no trash can take it the user decides; a failed move is the
// deletion's failure.
Trashing TrashOrAsk(const QString& full) {
    const ErrorCode code = platform::MoveToTrash(full);
    if (code == 0) return Trashing::Trashed;
    if (code != err::NoTrash) {
        ShowSharingViolation();
        return Trashing::Kept;
    }
    const bool forGood = AskYesNo("The file : " + full + " can't be moved to the trash. Delete it for good ?",
                                  "Warning", PromptIcon::Exclamation);
    return forGood ? Trashing::ForGood : Trashing::Kept;
}
}  // namespace

bool DeleteFileEntry(DriveSlot& slot, int position, const QString& folder, Disposal disposal) {
    const QString name = FileNameOf(slot.Lines[position]);
    const QString full = JoinPath(folder, name);
    if (!DriveReadyAndWritable(folder)) return false;
    if (!FileExists(full)) {
        ForgetVanishedFile(slot, position);
        ShowFileError(LastError);
        return false;
    }
    if (InUseByAnother(full)) {
        ShowSharingViolation();
        return false;
    }
    StatusFitted("Deleting file : " + name);
    if (disposal == Disposal::AsSettingSays && MoreSwitch(more::DeleteToTrash)) {
        const Trashing trashing = TrashOrAsk(full);
        if (trashing == Trashing::Kept) return false;
        if (trashing == Trashing::Trashed) {
            MarkDeleted(slot, position);
            return true;
        }
    }
    // Archive only, so that read-only, hidden and system files go without a
    // question; a link is deleted as it is and what it points at keeps its attributes.
    int attributes = 0;
    platform::GetAttributes(full, &attributes);
    platform::SetEntryAttributes(full, platform::attr::Archive);
    if (platform::DeleteFile(full) != 0) {
        platform::SetEntryAttributes(full, attributes);
        ShowSharingViolation();
        return false;
    }
    MarkDeleted(slot, position);
    return true;
}

namespace {
// The file a record names must still be on disk and free: a vanished file
// means the disk changed under the picture, a held one is in use.
bool FileStillThere(DriveSlot& slot, int position, const QString& full) {
    if (!FileExists(full)) {
        ForgetVanishedFile(slot, position);
        ShowFileError(err::DiskChanged);
        return false;
    }
    if (InUseByAnother(full)) {
        ShowSharingViolation();
        return false;
    }
    return true;
}
}  // namespace

bool ThrashFileEntry(DriveSlot& slot, int position, const QString& folder) {
    if (!DriveReadyAndWritable(folder)) return false;
    const QString line = slot.Lines[position];
    const QString name = FileNameOf(line);
    const QString full = JoinPath(folder, name);
    if (!FileStillThere(slot, position, full)) return false;
    StatusFitted("Thrashing file : " + name);
    // The empty file takes the name exactly as the disk spells it, capitals included.
    platform::FileEntry old;
    const QString onDisk = platform::GetFileInfo(full, &old) == 0 && !old.name.isEmpty() ? JoinPath(folder, old.name)
                                                                                        : full;
    const int attributes = old.attributes & ~platform::attr::Directory;
    // The empty file keeps who may read and run it, as the old one had it.
    unsigned mode = 0;
    const bool modeKnown = platform::GetFileMode(full, &mode) == 0;
    platform::SetEntryAttributes(full, platform::attr::Archive);
    if (platform::DeleteFile(full) != 0) {
        platform::SetEntryAttributes(full, attributes);
        ShowSharingViolation();
        return false;
    }
    const ErrorCode made = platform::CreateEmptyFile(onDisk);
    if (made == err::None && modeKnown) platform::SetFileMode(onDisk, mode);
    platform::SetEntryAttributes(onDisk, attributes);
    // The record follows the disk: size 0 and the new stamp, the tag kept; a
    // file that could not be made again is gone from the picture too.
    platform::FileEntry entry;
    if (made == err::None && platform::GetFileInfo(onDisk, &entry) == err::None) {
        const QString fresh = MakeFileLine(name, entry.size, entry.modified, entry.attributes);
        slot.Lines[position] = IsTagged(line) ? MarkTagged(fresh) : fresh;
    } else {
        MarkDeleted(slot, position);
        ShowFileError(made ? made : err::IoError);
        return false;
    }
    return true;
}

bool RenameFileEntry(DriveSlot& slot, int position, const QString& folder, const QString& newName) {
    if (newName.isEmpty() || !IsValidName(newName)) {
        ShowInvalidCharacters();
        return false;
    }
    if (!DriveReadyAndWritable(folder)) return false;
    const QString oldName = FileNameOf(slot.Lines[position]);
    const QString full = JoinPath(folder, oldName);
    if (!FileStillThere(slot, position, full)) return false;
    // A mask that maps the name onto itself ("*.*") leaves the file as it is.
    if (newName == oldName) return true;
    const QString target = JoinPath(folder, newName);
    int existing = 0;
    if (platform::GetAttributes(target, &existing) == 0) {
        ShowMessage("Unable to rename file", MsgStyle::Critical, "Error");
        LastError = 0;
        return false;
    }
    LastError = 0;
    StatusFitted("Renaming  file : " + oldName);
    int attributes = 0;
    platform::GetAttributes(full, &attributes);
    platform::SetEntryAttributes(full, platform::attr::Archive);
    if (platform::RenamePath(full, target) != 0) {
        platform::SetEntryAttributes(full, attributes);
        ShowSharingViolation();
        return false;
    }
    platform::SetEntryAttributes(target, attributes);
    // The record changes only once the disk has the new name.
    RenameFileLine(slot.Lines[position], newName);
    return true;
}

bool SetAttributesEntry(DriveSlot& slot, int position, const QString& folder, const QString& change) {
    if (!DriveReadyAndWritable(folder)) return false;
    FileLine file;
    if (!ParseFileLine(slot.Lines[position], &file)) return false;
    const QString full = JoinPath(folder, file.name);
    if (!FileStillThere(slot, position, full)) return false;
    StatusFitted("Setting attributes of file : " + file.name);
    const QString letters = ApplyAttributeChange(file.attributes, change.toUpper());
    SetAttributeLetters(full, letters);
    if (LastError) {
        ShowFileError(LastError);
        return false;
    }
    const QString canonical = FormatAttributeLetters(LetterBits(letters));
    if (canonical != file.attributes) SetFileLineAttributes(slot.Lines[position], canonical);
    return true;
}
