// What the sanitizers' run time is told in a sanitized build, compiled into
// every program of it (the tests, the program and the stand-in that they
// start), so that a run needs no settings from its environment.

extern "C" {

// The browser engine frees objects with a size other than the one it
// allocated them with (its own allocator makes that harmless there), and
// AddressSanitizer cannot let such a report pass for one library only.
// Our own code has no sized delete of a type other than the one it made.
const char* __asan_default_options() {
    return "new_delete_type_mismatch=0";
}

const char* __ubsan_default_options() {
    return "print_stacktrace=1";
}

// Leaks reported when a program ends, each inside a library that is not
// ours. A leak of our own code whose allocation passes through one of them
// is hidden too: keep the list short.
const char* __lsan_default_suppressions() {
    return
        // The browser engine keeps its process-wide objects (the profile, the
        // network service, its task runners) until the process ends.
        "leak:libQt6WebEngineCore.so\n"
        // The font configuration keeps what it has parsed for the process's
        // life.
        "leak:libfontconfig.so\n"
        // The device monitor that the browser engine opens is never closed.
        "leak:libudev.so\n"
        // The window system's accessibility bus connection (on X11) is kept
        // for the process's life.
        "leak:libdbus-1.so\n";
}
}
