// Compiled into every program that runs the web engine (see
// src/ui/CMakeLists.txt), where the sanitizer runtime looks. Chromium is
// not built with AddressSanitizer: it frees some objects through a base
// class of another size, and keeps caches for the life of the process.
// Qt Quick's software renderer keeps the textures of the last window's
// pictures, and its picture cache what it decoded, to the end of the
// process too. Only these libraries and that cache are named here; our code stays
// checked.
#if defined(__SANITIZE_ADDRESS__)
extern "C" const char *__asan_default_options()
{
    // Whole stacks, so the suppressions below can name Qt's functions.
    return "new_delete_type_mismatch=0:fast_unwind_on_malloc=0";
}

// Those leaks are there at every exit; their tally is not news.
extern "C" const char *__lsan_default_options()
{
    return "print_suppressions=0";
}

extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libQt6WebEngineCore.so\n"
           "leak:libfontconfig.so\n"
           "leak:QQuickPixmap::load\n"
           "leak:QQuickPixmapReader\n"
           "leak:QSGRenderContext::textureForFactory\n";
}
#endif
