# The release's version comes from the file VERSION at the top of the source
# tree, one line such as "1.0.1.2k.ru": three numbers, then optionally a dot
# and an edition suffix. Sets
#   HX_VERSION          the full text ("1.0.1.2k.ru")
#   HX_VERSION_NUMBER   the three numbers ("1.0.1")
#   HX_VERSION_MAJOR, HX_VERSION_MINOR, HX_VERSION_PATCH
# A change of VERSION configures the build again.
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/../VERSION HX_VERSION LIMIT_COUNT 1)
string(STRIP "${HX_VERSION}" HX_VERSION)
if(NOT HX_VERSION MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)(\\.[A-Za-z0-9.]+)?$")
  message(FATAL_ERROR "VERSION must read like 1.0.1 or 1.0.1.2k.ru, not \"${HX_VERSION}\"")
endif()
set(HX_VERSION_MAJOR ${CMAKE_MATCH_1})
set(HX_VERSION_MINOR ${CMAKE_MATCH_2})
set(HX_VERSION_PATCH ${CMAKE_MATCH_3})
set(HX_VERSION_NUMBER ${HX_VERSION_MAJOR}.${HX_VERSION_MINOR}.${HX_VERSION_PATCH})
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/../VERSION)
