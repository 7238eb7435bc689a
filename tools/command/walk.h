#pragma once
// A walk down a folder tree, for the commands that take /s.
#include <QString>
#include <set>
#include <sys/types.h>
#include <utility>

namespace command {

// Goes into each folder of a tree once. A link to a folder is listed where it
// stands but never entered, and a folder met again by another way (the same
// device and inode, as a bind mount gives) is not entered twice, so a link loop
// ("ln -s . a") or a link to a big tree elsewhere cannot make a walk endless.
// The folder the walk starts in is taken as named, a link included.
class FolderWalk {
public:
    // True when the walk goes into the folder; the first call is its start.
    bool Enter(const QString& dosFolder);

private:
    bool started_ = false;
    std::set<std::pair<dev_t, ino_t>> entered_;
};

}  // namespace command
