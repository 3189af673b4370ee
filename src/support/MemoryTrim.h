#pragma once

// Hands the heap's free pages back to the system. After a large release (a window and its engine) the
// allocator keeps the freed memory for reuse; a tray app that will not need it for hours returns it.
void returnFreedMemory();
