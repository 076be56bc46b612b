# vorsa_embed_bitmaps(<target> <folder>): a static library holding every
# <number>.bmp of <folder> as a byte array, in the table the Linux editor
# backends load bitmap resources from. A module links exactly one such table.
function(vorsa_embed_bitmaps target folder)
  file(GLOB bitmaps CONFIGURE_DEPENDS ${folder}/*.bmp)
  list(SORT bitmaps)
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
