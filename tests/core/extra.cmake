# SPDX-License-Identifier: MIT
# Helpers of the table file tests: a writer for the crash test to kill, and small pxlib
# programs that read and write Paradox tables independently of ours.
set(cheques_core_tests ${CMAKE_CURRENT_LIST_DIR})

if(TARGET tst_tablefilecrash)
    add_executable(tablefilewriter ${cheques_core_tests}/tablefilewriter.cpp)
    target_link_libraries(tablefilewriter PRIVATE core)
    add_dependencies(tst_tablefilecrash tablefilewriter)
    target_compile_definitions(tst_tablefilecrash PRIVATE
        CHEQUES_TABLE_WRITER="$<TARGET_FILE:tablefilewriter>")
endif()

find_package(PkgConfig QUIET)
if(PkgConfig_FOUND)
    pkg_check_modules(PXLIB QUIET IMPORTED_TARGET pxlib)
endif()
if(PXLIB_FOUND)
    set(cheques_pxlib PkgConfig::PXLIB)
else()
    find_library(PX_LIBRARY px)
    find_path(PX_INCLUDE_DIR paradox.h)
    if(PX_LIBRARY AND PX_INCLUDE_DIR)
        add_library(cheques_pxlib INTERFACE)
        target_link_libraries(cheques_pxlib INTERFACE ${PX_LIBRARY})
        target_include_directories(cheques_pxlib INTERFACE ${PX_INCLUDE_DIR})
        set(cheques_pxlib cheques_pxlib)
    endif()
endif()
if(cheques_pxlib AND TARGET tst_paradoxfile)
    foreach(helper pxreader pxwriter)
        add_executable(${helper} ${cheques_core_tests}/${helper}.c)
        target_link_libraries(${helper} PRIVATE ${cheques_pxlib})
        add_dependencies(tst_paradoxfile ${helper})
    endforeach()
    target_compile_definitions(tst_paradoxfile PRIVATE
        CHEQUES_PXREADER="$<TARGET_FILE:pxreader>" CHEQUES_PXWRITER="$<TARGET_FILE:pxwriter>")
endif()
