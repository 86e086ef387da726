# Layered libraries. Each layer is a static library whose headers are reachable only through an
# include root of its own: a folder in the build tree that holds one link to the layer's source
# folder. A layer sees its own headers and, through the usage requirements of the layers it links,
# those of the layers below it, so an include of a higher layer's header fails to compile.
#
#   mw_layer(NAME target FOLDER src-relative-folder SOURCES files... [DEPENDS layers...] [LIBS libs...])
function(mw_layer)
  cmake_parse_arguments(L "" "NAME;FOLDER" "SOURCES;DEPENDS;LIBS" ${ARGN})
  set(root ${CMAKE_BINARY_DIR}/include/${L_NAME})
  get_filename_component(parent "${root}/${L_FOLDER}" DIRECTORY)
  file(MAKE_DIRECTORY "${parent}")
  if(NOT EXISTS "${root}/${L_FOLDER}")
    file(CREATE_LINK "${CMAKE_SOURCE_DIR}/src/${L_FOLDER}" "${root}/${L_FOLDER}" SYMBOLIC)
  endif()
  list(TRANSFORM L_SOURCES PREPEND "${CMAKE_SOURCE_DIR}/src/${L_FOLDER}/" REGEX "^[^/]")
  add_library(${L_NAME} STATIC ${L_SOURCES})
  target_include_directories(${L_NAME} PUBLIC ${root})
  target_link_libraries(${L_NAME} PUBLIC ${L_DEPENDS} ${L_LIBS})
endfunction()
