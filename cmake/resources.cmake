# orvane_resources(target name description): gives a program the shared manifest and
# version information from the one project version; `name` is its file name without .exe.
set(ORVANE_MANIFEST ${CMAKE_CURRENT_LIST_DIR}/orvane.manifest)
set(ORVANE_YEAR 2026)
string(REPLACE "." "," ORVANE_VERSION_COMMAS "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0")

function(orvane_resources target name description)
  set(rc ${CMAKE_BINARY_DIR}/resources/${target}.rc)
  configure_file(${ORVANE_MANIFEST_TEMPLATE_DIR}/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${ORVANE_MANIFEST})
endfunction()
set(ORVANE_MANIFEST_TEMPLATE_DIR ${CMAKE_CURRENT_LIST_DIR})
