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

    # The runtimes' default options and the leak suppressions, compiled into each program
    # (wd_sanitize_programs below), so that no environment has to carry them.
    set(wd_lsan_suppressions_file ${CMAKE_CURRENT_LIST_DIR}/../tests/sanitizers/lsan.supp)
    file(READ ${wd_lsan_suppressions_file} WD_LSAN_SUPPRESSIONS)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${wd_lsan_suppressions_file})
    configure_file(${CMAKE_CURRENT_LIST_DIR}/sanitizeroptions.cpp.in
                   ${CMAKE_BINARY_DIR}/sanitizeroptions.cpp @ONLY)
    add_library(wd_sanitizer_options OBJECT ${CMAKE_BINARY_DIR}/sanitizeroptions.cpp)
endif()

# wd_sanitize_programs(): called once every target exists; links the options into every
# executable below the top folder. Does nothing in a normal build.
function(wd_sanitize_programs)
    if(NOT WD_SANITIZE)
        return()
    endif()
    set(folders ${CMAKE_SOURCE_DIR})
    while(folders)
        list(POP_FRONT folders folder)
        get_property(subfolders DIRECTORY ${folder} PROPERTY SUBDIRECTORIES)
        list(APPEND folders ${subfolders})
        get_property(targets DIRECTORY ${folder} PROPERTY BUILDSYSTEM_TARGETS)
        foreach(target ${targets})
            get_target_property(type ${target} TYPE)
            if(type STREQUAL "EXECUTABLE")
                target_link_libraries(${target} PRIVATE wd_sanitizer_options)
            endif()
        endforeach()
    endwhile()
endfunction()
