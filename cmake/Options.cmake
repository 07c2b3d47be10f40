# Compiler settings shared by every target: link `orv_options`.
add_library(orv_options INTERFACE)
target_include_directories(orv_options INTERFACE ${PROJECT_SOURCE_DIR})
target_compile_features(orv_options INTERFACE cxx_std_20)

# Options for the C and C++ compilers only: the resource compiler takes none of them.
function(orv_compiler_options)
    string(REPLACE ";" "$<SEMICOLON>" flags "${ARGN}")
    target_compile_options(orv_options INTERFACE "$<$<COMPILE_LANGUAGE:C,CXX>:${flags}>")
endfunction()

if(MSVC)
    orv_compiler_options(/W4 /utf-8 /permissive- /EHsc)
else()
    orv_compiler_options(-Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor)
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
        # GCC 12 warns inside libstdc++'s own std::string assignment once it is inlined at -O2
        # (GCC bugs 105329 and 105651); the warnings point at no fault of ours.
        orv_compiler_options(-Wno-restrict -Wno-maybe-uninitialized)
    endif()
endif()

if(WIN32)
    target_compile_definitions(orv_options INTERFACE
        UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00 WINVER=0x0A00)
    if(MINGW)
        # One self-contained executable: no libstdc++, libgcc or winpthread DLLs beside it. A release
        # carries no symbols: the static runtime's debug sections would double the download.
        # Sections start on page boundaries in the file too, so that the loader can map the image
        # instead of reading all of it into private memory: only the pages the program touches cost.
        # What nothing refers to is left out.
        target_link_options(orv_options INTERFACE -static $<$<CONFIG:Release>:-s>
                            -Wl,--file-alignment,0x1000 -Wl,--gc-sections)
        orv_compiler_options($<$<CONFIG:Release>:-Os>)
    endif()
endif()

if(ORV_SANITIZE AND NOT WIN32)
    orv_compiler_options(-fsanitize=${ORV_SANITIZE} -fno-omit-frame-pointer -g)
    target_link_options(orv_options INTERFACE -fsanitize=${ORV_SANITIZE})
    if(ORV_SANITIZE MATCHES "undefined")
        orv_compiler_options(-fno-sanitize-recover=undefined)
    endif()
endif()

# Sources on a hot path (the text count, the directory walk) keep the full optimisation where the rest
# of a Windows release is built for size. GCC assumes 32- and 64-byte alignment for the wide vectors it
# keeps on the stack, which the Windows stack does not give: the assembler makes those moves unaligned.
function(orv_hot_sources)
    if(MINGW)
        set_source_files_properties(${ARGN} PROPERTIES COMPILE_OPTIONS
                                    "$<$<CONFIG:Release>:-O3>;-Wa,-muse-unaligned-vector-move")
    endif()
endfunction()

# A folder's library from the sources it lists; links orv_options and the folders it builds on.
function(orv_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_link_libraries(${name} PUBLIC orv_options ${ARG_DEPENDS})
endfunction()

# The subsystem folders (ORV_FOLDERS, in build order) that have a CMakeLists.txt under the current
# source folder: the libraries at the top, their tests under tests/.
macro(orv_add_subsystem_folders)
    foreach(folder ${ORV_FOLDERS})
        if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/CMakeLists.txt)
            add_subdirectory(${folder})
        endif()
    endforeach()
endmacro()
