# Shared settings for every target of the project.

add_library(velloran_options INTERFACE)
target_compile_options(velloran_options INTERFACE
  -Wall -Wextra -Wpedantic -Wnon-virtual-dtor -Wcast-qual
  $<$<CXX_COMPILER_ID:GNU>:-Wshadow=local>
  $<$<CXX_COMPILER_ID:Clang>:-Wshadow-uncaptured-local>
  $<$<BOOL:${VELLORAN_WERROR}>:-Werror>)
target_compile_definitions(velloran_options INTERFACE
  QT_NO_KEYWORDS
  QT_NO_CAST_FROM_ASCII
  QT_NO_CAST_TO_ASCII
  QT_NO_URL_CAST_FROM_STRING
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_NO_FOREACH
  QT_USE_QSTRINGBUILDER
  QCORO_NO_KEYWORDS
  VELLORAN_VERSION="${PROJECT_VERSION}")

# velloran_library(<name> SOURCES ... DEPENDS ...)
# One static library per layer; headers are included as "layer/Header.h".
function(velloran_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPENDS} PRIVATE velloran_options)
endfunction()

# velloran_test(<name> [GUI] SOURCES ... DEPENDS ... [PROPERTIES ...])
# One GoogleTest executable per layer, registered with CTest. GUI tests get a QApplication.
function(velloran_test name)
  cmake_parse_arguments(ARG "GUI" "" "SOURCES;DEPENDS;PROPERTIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  if(ARG_GUI)
    set(support velloran_gui_test_support)
  else()
    set(support velloran_test_support)
  endif()
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} ${support} velloran_options)
  string(REGEX REPLACE "_tests$" "" layer ${name})
  gtest_discover_tests(${name}
    TEST_PREFIX "${layer}."
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" ${ARG_PROPERTIES})
endfunction()
