# orvane_resources(target name description): gives a program the shared manifest and
# version information from the one project version, and lists it as shipped; `name` is
# its file name without .exe. Every .exe we ship calls it.
set(ORVANE_RESOURCE_DIR ${CMAKE_CURRENT_LIST_DIR})
set(ORVANE_MANIFEST ${ORVANE_RESOURCE_DIR}/orvane.manifest)
set(ORVANE_YEAR 2025)  # the year of the first release, as the splash shows it
string(REPLACE "." "," ORVANE_VERSION_COMMAS "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0")

function(orvane_resources target name description)
  set(rc ${CMAKE_BINARY_DIR}/resources/${target}.rc)
  configure_file(${ORVANE_RESOURCE_DIR}/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${ORVANE_MANIFEST})
  set_property(GLOBAL APPEND PROPERTY ORVANE_SHIPPED "$<TARGET_FILE:${target}>")
endfunction()

# shipped.txt: what the installer and the zip hold, the items (relative to the program
# folder) and the programs (full paths), written once every program is known.
function(orvane_write_shipped)
  get_property(items GLOBAL PROPERTY ORVANE_SHIPPED)
  list(JOIN items "\n" text)
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/shipped.txt CONTENT "${text}\n")
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL orvane_write_shipped)
