# WD_SANITIZE: build everything with AddressSanitizer (leak checking included) and
# UndefinedBehaviorSanitizer, stopping at the first undefined behaviour. Meant for
# clang, where the same build also gives the fuzz targets libFuzzer's coverage
# feedback (every library is instrumented, so the parsers they hold are too).
option(WD_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

if(WD_SANITIZE)
    set(wd_sanitize_flags -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    add_compile_options(${wd_sanitize_flags})
    add_link_options(${wd_sanitize_flags})
    if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        add_compile_options(-fsanitize=fuzzer-no-link)
        set(WD_LIBFUZZER ON)
    endif()
endif()
