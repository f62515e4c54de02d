# tsubaki_library(NAME SOURCES ... LINK ...): one static library per source folder,
# compiled with the project's warnings.
function(tsubaki_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINK" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_LINK} PRIVATE tsubaki_warnings)
endfunction()

# tsubaki_test(NAME SOURCES ... LINK ... [LABELS ...]): one GoogleTest executable registered with CTest.
# Tests run on Qt's offscreen platform with the data folder pointed into the build tree.
function(tsubaki_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINK;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LINK} tsubaki_testsupport GTest::gtest GTest::gmock tsubaki_warnings)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TSUBAKI_APP_DIR=${TSUBAKI_APP_DIR};TSUBAKI_SOURCE_DIR=${PROJECT_SOURCE_DIR}"
    LABELS "${ARG_LABELS}")
endfunction()
