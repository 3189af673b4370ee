// Linked only into the programs that host the web engine (the portal helper and the tests that load
// pages); it does nothing in a build without AddressSanitizer.
//
// The web engine's own code deletes objects with a size other than the one they were made with when a
// page closes, and keeps some of its objects until the process ends. AddressSanitizer reports the
// first as new-delete-type-mismatch, and GCC 12's runtime cannot skip a report of that kind by library,
// so these processes turn that one check off and skip leaks allocated inside the engine's library.
// Every other check stays on here, and the tray and the other programs keep all of them.
#if defined(__SANITIZE_ADDRESS__)

extern "C" {
const char* __asan_default_options();
const char* __lsan_default_suppressions();

// The runtime reads these before main; options in ASAN_OPTIONS and LSAN_OPTIONS apply on top.
__attribute__((visibility("default"), used)) const char* __asan_default_options()
{
    return "new_delete_type_mismatch=0";
}

__attribute__((visibility("default"), used)) const char* __lsan_default_suppressions()
{
    return "leak:libQt6WebEngineCore.so\n";
}
}

#endif
