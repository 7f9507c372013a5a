# AddressSanitizer (with leak checking) and UndefinedBehaviorSanitizer for the
# whole build; any report aborts the program, so a test that triggers one fails.
if(QUILLON_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

# The fuzzing build (clang): every library gets libFuzzer's coverage hooks
# beside the two sanitizers; the fuzz targets link libFuzzer itself.
option(QUILLON_FUZZ "Build the libFuzzer targets (clang only)" OFF)
if(QUILLON_FUZZ)
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

# Shared libraries are linked with every symbol resolved, except in the
# fuzzing build, where clang leaves the sanitizer runtime to the executable.
if(QUILLON_FUZZ)
    set(QUILLON_NO_UNDEFINED "")
else()
    set(QUILLON_NO_UNDEFINED "LINKER:--no-undefined")
endif()
