# vorsa_add_plugin(NAME <output name> ENTRY <entry file> LIBS <product libraries>)
# Builds one deliverable: a loadable module that exports only main and
# VSTPluginMain (the version script hides everything else, the C++ runtime's
# inline symbols included); on Windows a DLL that exports only main.
function(vorsa_add_plugin target)
  cmake_parse_arguments(ARG "" "NAME;ENTRY" "LIBS" ${ARGN})
  add_library(${target} MODULE ${ARG_ENTRY})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS})
  set_target_properties(${target} PROPERTIES
    PREFIX ""
    OUTPUT_NAME ${ARG_NAME}
    LIBRARY_OUTPUT_DIRECTORY ${VORSA_PLUGIN_DIR})
  if(WIN32)
    # The entry macro marks main alone for export.
    target_link_options(${target} PRIVATE -Wl,--no-undefined)
  else()
    target_link_options(${target} PRIVATE
      -Wl,--version-script=${PROJECT_SOURCE_DIR}/cmake/plugin_exports.map
      -Wl,--no-undefined)
  endif()
  set_property(GLOBAL APPEND PROPERTY VORSA_PLUGINS ${target})
endfunction()
