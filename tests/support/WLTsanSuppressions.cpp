// Compiled into every test (see tests/CMakeLists.txt). Qt itself is not
// built with ThreadSanitizer, so races inside it that it cannot see the
// synchronisation of are reported falsely. Only such frames are named
// here; our own code must stay clean without suppressions.
#if defined(__SANITIZE_THREAD__)
extern "C" const char *__tsan_default_suppressions()
{
    // QtTest's watchdog thread: the main thread waits for its end inside
    // QtCore (a QWaitCondition, not a join), then frees what the watchdog
    // used. Library frames show only where they call the runtime directly,
    // so these match QtTest's and QWaitCondition's own calls, not ours.
    return "race:libQt6Test.so\n"
           "race:QWaitCondition\n";
}
#endif
