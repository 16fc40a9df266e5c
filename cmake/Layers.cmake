# The layers of the main program, as scripts/layers lists them from the
# ground up, one static library each: corvanix_<folder> holds every
# <folder>/*.cpp (main.cpp, an entry point, is its program's own) and links
# the libraries of the layers below it, never one of a layer above or
# beside it.
#
# A static library resolves nothing by itself, so an upward call would
# still link into the program. For each layer the build therefore links a
# check, corvanix_<folder>_check: a DLL of the layer's whole library, the
# libraries of the layers below and the system's, in which an undefined
# symbol is an error. A call into a layer above (or beside) fails that
# link, and with it the build, as scripts/check-layers.sh fails on an
# include that runs upward.
#
# Sets CORVANIX_LAYERS (the folders, from the ground up) and
# CORVANIX_SYSTEM_LIBRARIES (the system's import libraries every layer may
# use).

set(CORVANIX_SYSTEM_LIBRARIES
    comctl32 comdlg32 shell32 ole32 uuid version gdi32 user32 advapi32 kernel32)

# The check's DLL has no code of its own.
set(_corvanix_check_source ${CMAKE_BINARY_DIR}/generated/layercheck.cpp)
file(CONFIGURE OUTPUT ${_corvanix_check_source}
     CONTENT "// The layer check links a layer's library whole; it adds nothing.\n")

# corvanix_<folder>, linked to the libraries below (the nearest first), and
# its check.
function(corvanix_layer_library folder below)
    set(library corvanix_${folder})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
    list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
    if(NOT sources)
        add_library(${library} INTERFACE)
        target_link_libraries(${library} INTERFACE ${below} ${CORVANIX_SYSTEM_LIBRARIES})
        return()
    endif()
    add_library(${library} STATIC ${sources})
    target_link_libraries(${library} PUBLIC ${below} ${CORVANIX_SYSTEM_LIBRARIES})

    # The archives themselves, not the libraries' own link lists: what a
    # layer declares to need is no part of what the check allows.
    set(archives)
    foreach(lower IN LISTS below)
        get_target_property(kind ${lower} TYPE)
        if(kind STREQUAL "STATIC_LIBRARY")
            list(APPEND archives $<TARGET_FILE:${lower}>)
        endif()
    endforeach()
    set(check ${library}_check)
    add_library(${check} SHARED ${_corvanix_check_source})
    target_link_libraries(${check} PRIVATE
        -Wl,--whole-archive $<TARGET_FILE:${library}> -Wl,--no-whole-archive
        ${archives} ${CORVANIX_SYSTEM_LIBRARIES})
    target_link_options(${check} PRIVATE -Wl,--no-undefined -s)
    add_dependencies(${check} ${library} ${below})
    set_target_properties(${check} PROPERTIES
        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/layercheck
        LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/layercheck
        ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/layercheck)
endfunction()

file(STRINGS ${CMAKE_SOURCE_DIR}/scripts/layers _corvanix_layer_lines)
set(CORVANIX_LAYERS)
set(_corvanix_below)
foreach(_line IN LISTS _corvanix_layer_lines)
    string(STRIP "${_line}" _line)
    # Comments, programs of their own ("setup < ...") and the kinds of file
    # a folder holds ("folder: ...") make no library.
    if(_line STREQUAL "" OR _line MATCHES "^#" OR _line MATCHES "[<:]")
        continue()
    endif()
    string(REGEX REPLACE "[ \t]+" ";" _folders "${_line}")
    set(_these)
    foreach(_folder IN LISTS _folders)
        corvanix_layer_library(${_folder} "${_corvanix_below}")
        list(APPEND _these corvanix_${_folder})
        list(APPEND CORVANIX_LAYERS ${_folder})
    endforeach()
    list(PREPEND _corvanix_below ${_these})
endforeach()
