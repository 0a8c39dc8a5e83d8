# Every manual page of the source tree (the *.1 files one folder down, such
# as driver/quillon.1) must format without a single groff warning. The list is
# made at configure time; a page added later is picked up by the next
# configure, which CONFIGURE_DEPENDS triggers.
file(GLOB QUILLON_MAN_PAGES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/*/*.1)
# A build tree inside the source tree is no source.
list(FILTER QUILLON_MAN_PAGES EXCLUDE REGEX "^${CMAKE_BINARY_DIR}/")

find_program(QUILLON_GROFF groff)
if(NOT QUILLON_GROFF)
    message(STATUS "groff not found: the manual pages are not checked (install groff-base)")
    return()
endif()
foreach(page ${QUILLON_MAN_PAGES})
    get_filename_component(page_name ${page} NAME)
    # -ww turns on every warning, -z drops the formatted text: any output at
    # all is a warning or an error.
    add_test(NAME man_page_${page_name}
        COMMAND ${QUILLON_GROFF} -t -man -Tutf8 -ww -z ${page})
    set_tests_properties(man_page_${page_name} PROPERTIES
        FAIL_REGULAR_EXPRESSION "."
        ENVIRONMENT "LC_ALL=C.UTF-8")
endforeach()
