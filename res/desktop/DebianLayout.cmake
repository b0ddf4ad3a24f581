# Run by CPack after it has installed into its staging directory, to give the package Debian's layout: the game in
# /usr/games, and the manual page and the changelog compressed (gzip -9, with no name or time stamp inside, so
# that the package is reproducible). A plain `cmake --install` keeps bin/ and uncompressed files.
set(staged ${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX})

foreach(file IN LISTS CPACK_TILVANE_GAMES)
  if(NOT EXISTS ${staged}/${file})
    message(FATAL_ERROR "DebianLayout.cmake: ${staged}/${file} was not installed")
  endif()
  get_filename_component(name ${file} NAME)
  get_filename_component(dir ${staged}/${file} DIRECTORY)
  file(MAKE_DIRECTORY ${staged}/games)
  file(RENAME ${staged}/${file} ${staged}/games/${name})
  file(GLOB left ${dir}/*)
  if(NOT left)
    file(REMOVE_RECURSE ${dir})
  endif()
endforeach()

foreach(file IN LISTS CPACK_TILVANE_COMPRESS)
  if(NOT EXISTS ${staged}/${file})
    message(FATAL_ERROR "DebianLayout.cmake: ${staged}/${file} was not installed")
  endif()
  execute_process(COMMAND gzip -9n ${staged}/${file} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "DebianLayout.cmake: gzip ${staged}/${file} failed: ${status}")
  endif()
endforeach()
