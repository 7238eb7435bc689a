#pragma once
#include <QIODevice>
#include <QSize>
#include <QString>

// A picture decoder trusts the sizes a file states, and a crafted file of a
// few bytes can claim gigabytes: the program would stall reading and
// allocating them. These checks run before any decoder sees the file.

// The most memory a decoded picture may take.
inline constexpr int PictureMemoryLimitMB = 256;

// Empty when the parts of the file fit in it, else why not. A PNG file's
// chunks are walked by their stated lengths (other formats are left to their
// decoder); the device is put back at its start.
QString PictureStructureFault(QIODevice& file);
// Empty when a picture of the size its header states fits the memory limit
// (or the size is not known before decoding), else why not.
QString PictureSizeFault(QSize size);
