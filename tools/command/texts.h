#pragma once
// The interpreter's own messages, spelled as DOS spells them.
#include <QString>
#include "platform/errors.h"

namespace command::text {

inline const QString BadCommand = QStringLiteral("Bad command or file name");
inline const QString FileNotFound = QStringLiteral("File not found");
inline const QString PathNotFound = QStringLiteral("Path not found");
inline const QString AccessDenied = QStringLiteral("Access denied");
inline const QString InvalidDrive = QStringLiteral("Invalid drive specification");
inline const QString InvalidDirectory = QStringLiteral("Invalid directory");
inline const QString CannotMakeDirectory = QStringLiteral("Unable to create directory");
inline const QString CannotRemoveDirectory = QStringLiteral("Invalid path, not directory,\nor directory not empty");
inline const QString RemoveCurrentDirectory = QStringLiteral("Attempt to remove current directory - ");
inline const QString DuplicateOrNotFound = QStringLiteral("Duplicate file name or file not found");
inline const QString DeleteAll = QStringLiteral("All files in directory will be deleted! Are you sure (Y/N)?");
inline const QString CopiedOntoItself = QStringLiteral("File cannot be copied onto itself");
inline const QString FilesCopied = QStringLiteral("%1 file(s) copied");
inline const QString Overwrite = QStringLiteral("Overwrite %1 (Yes/No/All)?");
inline const QString SyntaxError = QStringLiteral("Syntax error");
inline const QString InvalidSwitch = QStringLiteral("Invalid switch - /%1");
inline const QString RequiredParameterMissing = QStringLiteral("Required parameter missing");
inline const QString TooManyParameters = QStringLiteral("Too many parameters");
inline const QString InvalidParameter = QStringLiteral("Invalid parameter");
inline const QString LabelNotFound = QStringLiteral("Label not found");
inline const QString BatchMissing = QStringLiteral("Batch file missing");
inline const QString NestingTooDeep = QStringLiteral("Exceeded batch nesting limit");
inline const QString PressAnyKey = QStringLiteral("Press any key to continue . . .");
inline const QString EchoIsOn = QStringLiteral("ECHO is on");
inline const QString EchoIsOff = QStringLiteral("ECHO is off");
inline const QString NoPath = QStringLiteral("No Path");
inline const QString VolumeLabel = QStringLiteral(" Volume in drive %1 is %2");
inline const QString VolumeNoLabel = QStringLiteral(" Volume in drive %1 has no label");
inline const QString DirectoryOf = QStringLiteral(" Directory of %1");
inline const QString CurrentDate = QStringLiteral("Current date is %1");
inline const QString CurrentTime = QStringLiteral("Current time is %1");
inline const QString ActiveCodePage = QStringLiteral("Active code page: %1");
inline const QString InvalidCodePage = QStringLiteral("Invalid code page");
inline const QString Version = QStringLiteral("Disk Rorediva command interpreter [Version 1.0]");
inline const QString InsufficientSpace = QStringLiteral("Insufficient disk space");
inline const QString EnterNewDate = QStringLiteral("Enter new date (mm-dd-yy): ");
inline const QString EnterNewTime = QStringLiteral("Enter new time: ");
inline const QString InvalidDate = QStringLiteral("Invalid date");
inline const QString InvalidTime = QStringLiteral("Invalid time");
inline const QString ClockIsTheDesktops = QStringLiteral("The clock is set by the desktop; date and time stay as they are");
inline const QString ChoiceKeysSyntax = QStringLiteral("CHOICE: invalid choice switch syntax. Expected form: /C[:]choices");
inline const QString ChoiceTimeoutSyntax = QStringLiteral("CHOICE: Incorrect timeout syntax.  Expected form Tc,nn or T:c,nn");
inline const QString ChoiceTimeoutDefault = QStringLiteral("CHOICE: Timeout default not in specified (or default) choices.");
inline const QString More = QStringLiteral("-- More --");
inline const QString FindParameterFormat = QStringLiteral("FIND: Parameter format not correct");
inline const QString ReadingSource = QStringLiteral("Reading source file(s)...");
inline const QString XcopyFilesCopied = QStringLiteral("%1 File(s) copied");
inline const QString FileOrDirectory = QStringLiteral("Does %1 specify a file name\nor directory name on the target\n(F = file, D = directory)?");
inline const QString CyclicCopy = QStringLiteral("Cannot perform a cyclic copy");
inline const QString PressKeyToCopy = QStringLiteral("Press any key to begin copying file(s)");
inline const QString MoveManyToOne = QStringLiteral("Cannot move multiple files to a single file");
inline const QString DeltreeFolderQuestion = QStringLiteral("Delete directory \"%1\" and all its subdirectories? [yn]");
inline const QString DeltreeFileQuestion = QStringLiteral("Delete file \"%1\"? [yn]");
inline const QString Deleting = QStringLiteral("Deleting %1...");
inline const QString DeltreeRoot = QStringLiteral("Cannot delete the root directory of a drive");
inline const QString InvalidPath = QStringLiteral("Invalid path - ");
inline const QString TreeListing = QStringLiteral("Directory PATH listing");
inline const QString TreeListingOfVolume = QStringLiteral("Directory PATH listing for Volume %1");
inline const QString NoSubdirectories = QStringLiteral("No subdirectories exist");
inline const QString NotResettingSystem = QStringLiteral("Not resetting system file ");
inline const QString NotResettingHidden = QStringLiteral("Not resetting hidden file ");
inline const QString LabelQuestion = QStringLiteral("Volume label (11 characters, ENTER for none)? ");
inline const QString DeleteLabel = QStringLiteral("Delete current volume label (Y/N)? ");
inline const QString LabelTooLong = QStringLiteral("Volume label too long");
inline const QString InvalidLabel = QStringLiteral("Invalid characters in volume label");

// The classic text for a file-error number.
inline QString ForError(ErrorCode e) {
    switch (e) {
    case err::FileNotFound: return FileNotFound;
    case err::PathNotFound: return PathNotFound;
    case err::AccessDenied:
    case err::PathFileConflict: return AccessDenied;
    case err::DeviceUnavailable: return InvalidDrive;
    case err::DiskNotReady: return QStringLiteral("Drive not ready");
    case err::DiskFull: return InsufficientSpace;
    case err::FileExists: return DuplicateOrNotFound;
    case err::BadFileName: return QStringLiteral("Invalid filename");
    case err::TooManyFiles: return QStringLiteral("Too many open files");
    case err::RenameAcrossDisks: return QStringLiteral("Not same device");
    case err::DiskChanged: return QStringLiteral("Invalid disk change");
    default: return QStringLiteral("General failure");
    }
}

}  // namespace command::text
