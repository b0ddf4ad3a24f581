# Read by cpack for each generator: the zip holds one folder named after the version, and the installer is
# named as one.
if(CPACK_GENERATOR STREQUAL "ZIP")
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
elseif(CPACK_GENERATOR STREQUAL "NSIS")
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_FILE_NAME}-setup")
endif()
