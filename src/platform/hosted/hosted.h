// The hosted platforms' shared part (Linux and the virtual board's
// programs): files and buffers on the C library.
#pragma once

namespace platform::hosted {

// Closes every file and frees every buffer the run still holds: a run that
// ends from deep inside (a timeout) leaves nothing behind, not even a
// read-out's file that was not committed.
void ReleaseAll();
void DiscardUncommitted();

// fsync of a file, or of the directory that holds the named file (its new
// name is on the disk then too); false when that failed.
bool Sync(int fd);
bool SyncDirectoryOf(const char* name);

// Console writes to a closed pipe fail quietly instead of ending the run.
void IgnoreBrokenPipes();

}  // namespace platform::hosted
