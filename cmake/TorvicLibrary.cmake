# torvic_library(<target> FOLDER <name> SOURCES <files...> HEADERS <files...> [LINK <targets...>])
#
# A static library that exposes its headers, and only those, as "<name>/<header>"
# through an include root of its own in the build tree (symbolic links to the
# sources). A target sees the headers of the libraries it links and nothing
# else, so an include that crosses the layers the wrong way fails to compile.
function(torvic_library target)
  cmake_parse_arguments(ARG "" "FOLDER" "SOURCES;HEADERS;LINK" ${ARGN})
  add_library(${target} STATIC ${ARG_SOURCES})
  set_property(GLOBAL APPEND PROPERTY TORVIC_LIBRARIES ${target})
  set(root ${CMAKE_BINARY_DIR}/include/${target})
  file(REMOVE_RECURSE ${root})
  foreach(header ${ARG_HEADERS})
    get_filename_component(dir ${root}/${ARG_FOLDER}/${header} DIRECTORY)
    file(MAKE_DIRECTORY ${dir})
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR}/${header} ${root}/${ARG_FOLDER}/${header} SYMBOLIC)
  endforeach()
  target_include_directories(${target} PUBLIC ${root})
  if(ARG_LINK)
    target_link_libraries(${target} PUBLIC ${ARG_LINK})
  endif()
endfunction()

# torvic_write_link_graph(<file>)
#
# Writes, a line each, every library made with torvic_library and the
# libraries of ours it links ("torvic_textcmd: torvic_script"), as the
# build really links them; the layer test checks it.
function(torvic_write_link_graph file)
  get_property(libraries GLOBAL PROPERTY TORVIC_LIBRARIES)
  set(graph "")
  foreach(lib ${libraries})
    get_target_property(links ${lib} LINK_LIBRARIES)
    set(ours "")
    foreach(link ${links})
      if(link MATCHES "^torvic_")
        list(APPEND ours ${link})
      endif()
    endforeach()
    list(JOIN ours " " ours)
    string(APPEND graph "${lib}: ${ours}\n")
  endforeach()
  file(WRITE ${file} "${graph}")
endfunction()
