#pragma once

#include <QString>

// Rules about source paths shared by the list step and the save step.
namespace SourcePathRules {

// Whether the list keeps a row with this path (".NSF" or ".DXL" in the upper-cased path).
bool IsAcceptedSourcePath(const QString& path);

// Whether a file is reached over the network: a path beginning with "//" or
// "\\\\", or a file on a network file system (NFS, SMB/CIFS, SSHFS and the like).
bool IsNetworkPath(const QString& path);

// The file system type magic number for a path (0 when unknown); for tests.
unsigned long FileSystemMagic(const QString& path);
bool IsNetworkFileSystemMagic(unsigned long magic);

// The name of a source's own sub-folder: the last path component,
// upper-cased, with every ".NSF" (and ".DXL") removed ("/d/john.nsf" -> "JOHN").
QString FileTitle(const QString& path);

}  // namespace SourcePathRules
