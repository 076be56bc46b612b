# vorsa_embed_bitmaps(<target> <folder>): a static library holding every
# <number>.bmp of <folder>: on Linux as byte arrays, in the table the Linux
# editor backends load bitmap resources from; on Windows as BITMAP resources
# of the module. A module links exactly one such library.
function(vorsa_embed_bitmaps target folder)
  file(GLOB bitmaps CONFIGURE_DEPENDS ${folder}/*.bmp)
  list(SORT bitmaps)
  if(WIN32)
    vorsa_bitmap_resources(${target} "${bitmaps}")
    return()
  endif()
  set(output ${CMAKE_CURRENT_BINARY_DIR}/${target}_table.cpp)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DOUTPUT=${output} "-DFILES=${bitmaps}"
            -P ${PROJECT_SOURCE_DIR}/cmake/embed_resources_generate.cmake
    DEPENDS ${bitmaps} ${PROJECT_SOURCE_DIR}/cmake/embed_resources_generate.cmake
    COMMENT "Embedding bitmaps of ${folder}"
    VERBATIM)
  add_library(${target} STATIC ${output})
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
  # The backends reference the table; make the linker take it from this
  # archive whatever the order of libraries on the command line.
  target_link_options(${target} INTERFACE "LINKER:--undefined=vorsaEmbeddedBitmaps")
endfunction()

# Windows: the bitmaps become BITMAP resources by number. A resource object has
# no symbols, so one is added for the linker to pull the archive member by,
# as the Linux table is pulled.
function(vorsa_bitmap_resources target bitmaps)
  set(script "// Generated from the bitmap resources; do not edit.\n")
  foreach(file IN LISTS bitmaps)
    get_filename_component(stem ${file} NAME_WE)
    if(NOT stem MATCHES "^[0-9]+$")
      message(FATAL_ERROR "bitmap resource ${file} is not named <number>.bmp")
    endif()
    string(APPEND script "${stem} BITMAP \"${file}\"\n")
  endforeach()
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  file(CONFIGURE OUTPUT ${rc} CONTENT "${script}")
  set(object ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.obj)
  add_custom_command(
    OUTPUT ${object}
    COMMAND ${CMAKE_RC_COMPILER} ${rc} -O coff -o ${object}.res
    COMMAND ${CMAKE_OBJCOPY} --add-symbol vorsaBitmapResources=.rsrc:0,global ${object}.res ${object}
    DEPENDS ${rc} ${bitmaps}
    COMMENT "Linking bitmaps of ${target} as resources"
    VERBATIM)
  add_library(${target} STATIC ${object})
  set_target_properties(${target} PROPERTIES LINKER_LANGUAGE CXX)
  target_link_options(${target} INTERFACE "LINKER:--undefined=vorsaBitmapResources")
endfunction()
