#pragma once
// How a copy carries a file's bytes over, between open files of the host: a
// clone where the file system can share them, else the data only, holes kept
// as holes, else plain chunks. CopyFileTo and a move to another disk use it.
#include <QString>
#include <sys/stat.h>
#include "platform/files.h"

namespace platform::copying {

// How the holes of a source are found.
enum class HoleSearch {
    // The file system tells where the data lies. A file it shows as all data
    // while it takes fewer blocks than its size is searched for zeros instead.
    FileSystem,
    // Every block of zeros becomes a hole.
    ZeroBlocks,
};

// The bytes of `in` into the empty file `out`. Holes stay holes where the
// destination's file system keeps them; a copy that cannot fit in the space
// the destination has fails with 61 before it writes anything. The progress
// counts the source's whole length, holes included.
ErrorCode CopyContents(int in, int out, const struct stat& source, HoleSearch search, const CopyProgress& progress);

// The code of a failed make or rename at a destination. A disk that cannot
// hold the name (a FAT disk and ":" or a byte that is no UTF-8, a share and
// "?") refuses it with EINVAL, EILSEQ or EPERM while the folder takes other
// names (folderTookAFile: it just did): that is a bad name, which the caller
// reports naming the file, not a disk that may not be written.
ErrorCode DestinationErrorAt(int e, const QString& hostPath, bool folderTookAFile = false);

// The copy proper, host to host: data, DOS attributes, permissions and time go
// to a temporary file beside the destination, which then replaces it. The
// attributes are the source's, or those given (attr bits), set on the copy
// before it takes the destination's name.
ErrorCode CopyHostFile(int in, const struct stat& source, const QString& dst, const CopyProgress& progress,
                       int attributes = kSourceAttributes);

}  // namespace platform::copying
