# AddressSanitizer (with leak checking) and UndefinedBehaviorSanitizer for the
# whole build; any report aborts the program, so a test that triggers one fails.
if(QUILLON_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
