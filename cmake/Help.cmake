# The help file Corvanix.hlp, written by halibut from the text in help/ and
# placed beside Corvanix.exe, where the program looks for it and the
# installer takes it from. halibut writes a contents file (.cnt) beside it
# as well; that one stays in the build's help folder: the program opens the
# help file's own contents page, and the installer copies only the .hlp.
#
# Sets CORVANIX_HELP_FILE and the target corvanix_help.

find_program(CORVANIX_HALIBUT halibut NO_CMAKE_FIND_ROOT_PATH
    DOC "halibut, which writes the WinHelp file")
if(NOT CORVANIX_HALIBUT)
    message(FATAL_ERROR "halibut is needed to build the help file: run scripts/install-deps.sh")
endif()

get_filename_component(_corvanix_root ${CMAKE_CURRENT_LIST_DIR} DIRECTORY)

# In the order of the topics.
set(CORVANIX_HELP_SOURCES
    ${_corvanix_root}/help/corvanix.but
    ${_corvanix_root}/help/window.but
    ${_corvanix_root}/help/folders.but
    ${_corvanix_root}/help/commands.but
    ${_corvanix_root}/help/dialogs.but
    ${_corvanix_root}/help/installer.but
)

set(_corvanix_help_dir ${CMAKE_BINARY_DIR}/help)
set(CORVANIX_HELP_FILE ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/Corvanix.hlp)

add_custom_command(
    OUTPUT ${CORVANIX_HELP_FILE}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_corvanix_help_dir}
    COMMAND ${CORVANIX_HALIBUT} --winhelp=${_corvanix_help_dir}/Corvanix.hlp ${CORVANIX_HELP_SOURCES}
    COMMAND ${CMAKE_COMMAND} -E copy ${_corvanix_help_dir}/Corvanix.hlp ${CORVANIX_HELP_FILE}
    DEPENDS ${CORVANIX_HELP_SOURCES}
    COMMENT "Writing the help file Corvanix.hlp"
    VERBATIM)

add_custom_target(corvanix_help ALL DEPENDS ${CORVANIX_HELP_FILE})
