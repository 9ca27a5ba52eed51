#pragma once

#include <QString>

// Leftovers of runs that died (killed, crashed, power lost) are recognised by
// name and removed by the next run. Every such name carries the pid of the
// process that made it; a file is removed only when its name has our pattern,
// it belongs to our user, and no process of that pid is alive any more.
//
//   destination: hidden partial documents and attachments
//                ".~tesseldoc-<pid>-<random>.doc.part", ".~tesseldoc-<pid>-<random>.part"
//                and the office's lock files for them ".~lock.<that name>#";
//                the office's save temporaries "lu<office pid><base 36>.tmp" of an
//                office no longer running;
//   temporary directory: private directories "tesseldoc-<pid>-XXXXXX";
//   /tmp: office pipes "OSL_PIPE_<uid>_tesseldoc-<pid>-...".
namespace StaleFileCleaner {

// A fresh hidden partial-file name of this process: ".~tesseldoc-<pid>-<random>" + suffix.
QString partialFileName(const QString& suffix);
// The pid in one of our partial-file or lock-file names, or 0 when the name is not ours.
long partialFileOwnerPid(const QString& fileName);

// Whether a process of that pid exists (of any user).
bool processAlive(long pid);

// Removes dead processes' partial files and office lock files anywhere below
// root (links are not followed). Returns how many files were removed.
int cleanDestination(const QString& root);

// Removes dead processes' private directories from tempDir and their office
// pipes from pipeDir. Returns how many entries were removed.
int cleanTemporaryDirectory(const QString& tempDir = QString(), const QString& pipeDir = QStringLiteral("/tmp"));

}  // namespace StaleFileCleaner
