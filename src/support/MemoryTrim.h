#pragma once

// Hands the heap's free pages back to the system. After a large release (a window and its engine) the
// allocator keeps the freed memory for reuse; a tray app that will not need it for hours returns it.
void returnFreedMemory();

// Lets go of the process's clean file-backed pages: library code, read-only data, fonts. They stay in
// the page cache and come back on their next use, so only what still runs is mapped again. Pages the
// process changed (relocations, writable data) are never touched. Returns the kilobytes let go.
long releaseCleanFilePages();
