# JUCE's recommended GCC/Clang warnings, applied to the project's own sources only: the JUCE
# modules and SDKs are third-party code and are compiled with their own settings.
set (KELVANE_WARNING_FLAGS
    -Wall -Wextra -Wpedantic -Wstrict-aliasing -Wuninitialized -Wunused-parameter
    -Wsign-compare -Wsign-conversion -Wunreachable-code -Wcast-align -Wno-implicit-fallthrough
    -Wno-maybe-uninitialized -Wno-ignored-qualifiers -Wswitch-enum -Wredundant-decls
    -Wno-strict-overflow -Wshadow -Woverloaded-virtual -Wreorder -Wzero-as-null-pointer-constant)

if (KELVANE_WARNINGS_AS_ERRORS)
    list (APPEND KELVANE_WARNING_FLAGS -Werror)
endif ()

# Adds the given sources to a target and compiles them with the project's warning flags.
function (kelvane_add_sources target)
    target_sources (${target} PRIVATE ${ARGN})
    set_source_files_properties (${ARGN} TARGET_DIRECTORY ${target}
                                 PROPERTIES COMPILE_OPTIONS "${KELVANE_WARNING_FLAGS}")
endfunction ()
