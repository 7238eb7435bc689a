#pragma once
#include <QString>

class frmBrws;

// Tags live in two places that always agree: the selected state of the file's
// item in the window's list and the tag letter of its line in the picture.

// The tag operation of the commands: tag or untag the current item or every
// item of the list, or invert the tags of every item.
enum class TagChange { Tag, Untag, Invert };
enum class TagScope { CurrentFile, AllFiles };
void TagFiles(frmBrws* w, TagChange change, TagScope scope);
// Brings the current item's tag to the wanted state.
void SelectDeselectFile(frmBrws* w, bool& state);
// A left click on a list row; with Shift the rows from the last clicked one on
// take the clicked row's new state.
void FileListMouseDown(frmBrws* w, int row, int shift);
// The list's selection changed by the list itself: the lines follow it.
void SyncTagsWithList(frmBrws* w);
// Recounts the tagged files and bytes of the list and shows them.
void RecountTagged(frmBrws* w);
