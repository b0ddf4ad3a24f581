# Reads the version record in Version.h, so that the desktop files and the package carry the same version as the
# program: sets TILVANE_VERSION (e.g. 4.01), TILVANE_FILE_VERSION (its four numbers, e.g. 4.0.1.0) and
# TILVANE_RELEASE_DATE (YYYY-MM-DD).
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/Version.h)
file(READ ${CMAKE_CURRENT_LIST_DIR}/Version.h tilvane_version_record)
if(NOT tilvane_version_record MATCHES "\\.productVersionText = \"([0-9.]+)\"")
  message(FATAL_ERROR "res/Version.h has no productVersionText")
endif()
set(TILVANE_VERSION ${CMAKE_MATCH_1})
if(NOT tilvane_version_record MATCHES "\\.fileVersion = {([0-9]+), ([0-9]+), ([0-9]+), ([0-9]+)}")
  message(FATAL_ERROR "res/Version.h has no fileVersion")
endif()
set(TILVANE_FILE_VERSION ${CMAKE_MATCH_1}.${CMAKE_MATCH_2}.${CMAKE_MATCH_3}.${CMAKE_MATCH_4})
if(NOT tilvane_version_record MATCHES "kReleaseDate = \"([0-9]+-[0-9]+-[0-9]+)\"")
  message(FATAL_ERROR "res/Version.h has no kReleaseDate")
endif()
set(TILVANE_RELEASE_DATE ${CMAKE_MATCH_1})
unset(tilvane_version_record)
