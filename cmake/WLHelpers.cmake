# wl_add_test(NAME SOURCES file... [LIBS target...])
# One QtTest executable per unit, registered with CTest under its own name.
# Every test gets a private temporary directory and its own user defaults file,
# so nothing a test writes reaches the user's real files.
function(wl_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test wltestsupport ${ARG_LIBS})
    add_test(NAME ${name} COMMAND ${name})
    set(tmp "${CMAKE_BINARY_DIR}/test-tmp/${name}")
    file(MAKE_DIRECTORY "${tmp}")
    set_tests_properties(${name} PROPERTIES
        TIMEOUT 300
        ENVIRONMENT "TMPDIR=${tmp};WL_DEFAULTS_FILE=${tmp}/defaults.plist;WLDICT=$<$<TARGET_EXISTS:wldict>:$<TARGET_FILE:wldict>>;WL_DEMO_BUNDLE=${WL_DEMO_BUNDLE_DIR};QT_QPA_PLATFORM=offscreen")
endfunction()

# Tests that run the web engine. Chromium and the libraries it brings
# (libevent, udev, …) are not built with ThreadSanitizer, and their own
# locks, atomics and descriptors look like races to it; under that
# sanitizer only calls from our instrumented code are checked there.
function(wl_test_runs_web_engine)
    if(WL_SANITIZE MATCHES "thread")
        set_property(TEST ${ARGN} APPEND PROPERTY ENVIRONMENT_MODIFICATION
            "TSAN_OPTIONS=string_append: ignore_noninstrumented_modules=1")
    endif()
endfunction()
