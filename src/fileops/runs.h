#pragma once
#include <QString>
#include "browse/filelist.h"

// What a run of the progress window does and to which files. The command that
// starts it names it; the captions of the copy dialog and of the progress
// window only show it.
enum class RunKind { Copy, Move, Delete, Thrash, Rename, Attributes };
// Tagged files copied or moved either all go into the destination folder or
// have their folders rebuilt below it.
enum class Paths { Flat, Duplicated };

struct Run {
    RunKind kind = RunKind::Copy;
    FileScope scope = FileScope::CurrentFile;
    Paths paths = Paths::Flat;
};

inline bool IsCopyOrMove(const Run& run) { return run.kind == RunKind::Copy || run.kind == RunKind::Move; }

// The caption of the progress window while it runs the run.
QString GraphCaptionOf(const Run& run);
// The caption of the destination dialog of a copy or move.
QString CopyCaptionOf(const Run& run);
