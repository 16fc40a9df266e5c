# The program's icons, cursors and toolbar bitmap are drawn as text in
# app/res/*.txt and turned into .ico/.cur/.bmp files at build time by
# tools/imagegen, a small tool built with the host's own C++ compiler: the
# project's CMAKE_CXX_COMPILER is the cross compiler and makes Windows
# programs.
#
# Sets:
#   CORVANIX_IMAGE_DIR    directory holding the generated files (give it to
#                         windres as an include directory)
#   CORVANIX_IMAGE_FILES  full paths of all generated files
# and the target corvanix_images, which brings them up to date.

find_program(CORVANIX_HOST_CXX
    NAMES g++ c++ clang++
    NO_CMAKE_FIND_ROOT_PATH
    DOC "Native C++ compiler used to build the image generator")
if(NOT CORVANIX_HOST_CXX)
    message(FATAL_ERROR
        "No native C++ compiler (g++ or c++) found. One is needed to build "
        "tools/imagegen, which makes the program's icons at build time. "
        "Install g++ or set CORVANIX_HOST_CXX to its path.")
endif()

# The tree this file belongs to (it sits in cmake/).
get_filename_component(_corvanix_root ${CMAKE_CURRENT_LIST_DIR} DIRECTORY)

set(CORVANIX_IMAGEGEN_SOURCE ${_corvanix_root}/tools/imagegen/imagegen.cpp)
set(CORVANIX_IMAGEGEN ${CMAKE_BINARY_DIR}/tools/imagegen${CMAKE_HOST_EXECUTABLE_SUFFIX})

add_custom_command(
    OUTPUT ${CORVANIX_IMAGEGEN}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/tools
    COMMAND ${CORVANIX_HOST_CXX} -std=c++17 -O2 -Wall -Wextra
            -o ${CORVANIX_IMAGEGEN} ${CORVANIX_IMAGEGEN_SOURCE}
    DEPENDS ${CORVANIX_IMAGEGEN_SOURCE}
    COMMENT "Building the host tool imagegen"
    VERBATIM)

set(CORVANIX_IMAGE_SOURCES
    ${_corvanix_root}/app/res/icons.txt
    ${_corvanix_root}/app/res/cursors.txt
    ${_corvanix_root}/app/res/toolbar.txt)

# Every file the sources draw; imagegen checks that they draw exactly these.
set(CORVANIX_IMAGE_NAMES
    Icon.ico TASKBAR.ico NOCLASS.ico NOT.ico SCOPY.ico SMOVE.ico
    VIEW.ico OPENVIEW.ico SHORTCUT.ico
    COPY.cur MOVE.cur COPYM.cur MOVEM.cur NOT.cur
    toolbar.bmp)

set(CORVANIX_IMAGE_DIR ${CMAKE_BINARY_DIR}/res)
set(CORVANIX_IMAGE_FILES)
set(_corvanix_expect)
foreach(_name IN LISTS CORVANIX_IMAGE_NAMES)
    list(APPEND CORVANIX_IMAGE_FILES ${CORVANIX_IMAGE_DIR}/${_name})
    list(APPEND _corvanix_expect -e ${_name})
endforeach()

add_custom_command(
    OUTPUT ${CORVANIX_IMAGE_FILES}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CORVANIX_IMAGE_DIR}
    COMMAND ${CORVANIX_IMAGEGEN} -o ${CORVANIX_IMAGE_DIR} ${_corvanix_expect}
            ${CORVANIX_IMAGE_SOURCES}
    DEPENDS ${CORVANIX_IMAGEGEN} ${CORVANIX_IMAGE_SOURCES}
    COMMENT "Generating icons, cursors and the toolbar bitmap"
    VERBATIM)
unset(_corvanix_expect)
unset(_corvanix_root)
unset(_name)

add_custom_target(corvanix_images DEPENDS ${CORVANIX_IMAGE_FILES})
