#pragma once
#include <QString>
#include "platform/errors.h"

namespace platform {

// Moves a file into the desktop's trash, as the freedesktop trash layout
// lays it out, so that the desktop's file manager lists it and puts it back
// where it was with its bytes, permissions and DOS attributes (user.DOSATTRIB
// goes with it, the move being a rename on the same file system).
// The home trash ($XDG_DATA_HOME/Trash) takes the files of its own file system;
// another file system has its own at its top folder: $topdir/.Trash/$uid where
// an administrator made a sticky .Trash, else $topdir/.Trash-$uid.
// err::None when the file went, err::NoTrash when no trash can take a file of
// that file system, else the error of the move; the file stays where it was
// whenever the result is not err::None. *trashed (optional) receives the host
// path it has in the trash. A folder is not trashed (75).
ErrorCode MoveToTrash(const QString& dosPath, QString* trashed = nullptr);

}  // namespace platform
