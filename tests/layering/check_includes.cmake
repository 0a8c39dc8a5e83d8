# Fails when a folder includes a header of a folder above it. From the top
# down: driver, report, project, then rod and xml side by side, then i18n and
# thread (how helper threads start) at the bottom; quillon-campaign stands
# beside them and uses xml, i18n and thread only.
# Run as: cmake -DSOURCE_DIR=<tree> -P check_includes.cmake

set(allowed_driver driver report project rod xml i18n thread)
set(allowed_report report project rod xml i18n thread)
set(allowed_project project rod xml i18n thread)
set(allowed_rod rod i18n thread)
set(allowed_xml xml i18n thread)
set(allowed_i18n i18n)
set(allowed_thread thread)
set(allowed_campaign campaign xml i18n thread)
set(folders driver report project rod xml i18n thread campaign)

set(violations "")
foreach(folder ${folders})
    file(GLOB_RECURSE sources ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp)
    foreach(source ${sources})
        file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[a-z0-9_]+/")
        foreach(line ${includes})
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([a-z0-9_]+)/.*" "\\1" used "${line}")
            list(FIND folders ${used} is_folder)
            list(FIND allowed_${folder} ${used} is_allowed)
            if(NOT is_folder EQUAL -1 AND is_allowed EQUAL -1)
                file(RELATIVE_PATH where ${SOURCE_DIR} ${source})
                string(APPEND violations "  ${where}: ${line}\n")
            endif()
        endforeach()
    endforeach()
endforeach()

if(violations)
    message(FATAL_ERROR "Headers included from a folder above:\n${violations}")
endif()
message(STATUS "Every folder includes only from itself and the folders below it.")
