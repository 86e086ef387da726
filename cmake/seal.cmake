# Seals a file for the program's check of its own file (app/shell/integrity.hpp): appends the trailer
#     "MURMELWERK-SHA256 " + the SHA-256 of the file as it is, 64 lowercase hex digits + "\n".
#
# Three ways to use it:
#   include(cmake/seal.cmake)
#   mw_seal_executable(murmelwerk)      # seals the target's file after every link (POST_BUILD)
#   mw_seal_file("/path/to/file")       # seals a file now (in a script, install(CODE ...) or a package step)
#   cmake -DFILE=/path/to/file -P cmake/seal.cmake   # the same from a shell
#
# Seal last: stripping drops the trailer (strip keeps only the ELF file's own contents), and any change
# after sealing makes the check fail. A packaging step therefore strips first, then seals the stripped
# copy:
#     strip --strip-unneeded staging/usr/bin/murmelwerk
#     cmake -DFILE=staging/usr/bin/murmelwerk -P cmake/seal.cmake
# With `cmake --install --strip` the installed file is stripped as install(TARGETS) copies it, so an
#     install(CODE "include(\"${CMAKE_SOURCE_DIR}/cmake/seal.cmake\")
#                   mw_seal_file(\"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/murmelwerk\")")
# placed after that install(TARGETS) seals the stripped copy.
# Sealing a file twice is harmless: the second trailer covers the first, and the check reads the last.

function(mw_seal_file path)
  if(NOT EXISTS "${path}" OR IS_DIRECTORY "${path}")
    message(FATAL_ERROR "mw_seal_file: no file ${path}")
  endif()
  file(SHA256 "${path}" hash)
  file(APPEND "${path}" "MURMELWERK-SHA256 ${hash}\n")
endfunction()

function(mw_seal_executable target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} "-DFILE=$<TARGET_FILE:${target}>" -P "${CMAKE_CURRENT_FUNCTION_LIST_FILE}"
    COMMENT "Sealing ${target}"
    VERBATIM)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE AND DEFINED FILE)
  mw_seal_file("${FILE}")
endif()
