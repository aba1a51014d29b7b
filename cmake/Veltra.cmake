# Helpers that keep the two layers apart.
#
#   veltra_core_library(NAME src...)  -> static library veltra_NAME, Qt6::Core/Sql, libzip, zlib
#   veltra_ui_library(NAME src...)    -> static library veltra_NAME_ui, adds Widgets/Gui/PrintSupport
#
# veltra_core is the union of the core libraries and must never pull in
# Qt6::Gui or Qt6::Widgets; veltra_ui is the union of the UI libraries.

set_property(GLOBAL PROPERTY VELTRA_CORE_LIBS "")
set_property(GLOBAL PROPERTY VELTRA_UI_LIBS "")
set_property(GLOBAL PROPERTY VELTRA_CORE_SOURCES "")

function(veltra_core_library name)
  set(target veltra_${name})
  add_library(${target} STATIC ${ARGN})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${target} PUBLIC Qt6::Core Qt6::Sql PkgConfig::LIBZIP ZLIB::ZLIB)
  set_property(GLOBAL APPEND PROPERTY VELTRA_CORE_LIBS ${target})
  foreach(src ${ARGN})
    get_filename_component(abs ${src} ABSOLUTE)
    set_property(GLOBAL APPEND PROPERTY VELTRA_CORE_SOURCES ${abs})
  endforeach()
endfunction()

function(veltra_ui_library name)
  set(target veltra_${name}_ui)
  add_library(${target} STATIC ${ARGN})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${target} PUBLIC veltra_core Qt6::Widgets Qt6::Gui Qt6::PrintSupport)
  set_property(GLOBAL APPEND PROPERTY VELTRA_UI_LIBS ${target})
endfunction()

function(veltra_finish_layers)
  get_property(core GLOBAL PROPERTY VELTRA_CORE_LIBS)
  get_property(ui GLOBAL PROPERTY VELTRA_UI_LIBS)
  get_property(coresrc GLOBAL PROPERTY VELTRA_CORE_SOURCES)
  add_library(veltra_core INTERFACE)
  # Each library names the libraries it calls, so the linker order follows.
  target_link_libraries(veltra_core INTERFACE ${core})
  add_library(veltra_ui INTERFACE)
  target_link_libraries(veltra_ui INTERFACE ${ui} veltra_core Qt6::Widgets Qt6::Gui Qt6::PrintSupport)
  string(REPLACE ";" "\n" coresrc_lines "${coresrc}")
  file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/core_sources.txt CONTENT "${coresrc_lines}\n")
endfunction()

# Test helpers: one executable per test file; gtest for core, QtTest for UI.
# veltra_gtest(name sources... [LIBS lib...]): LIBS narrows what the test
# links (default: the whole core), so a subsystem's tests build on their own.
function(veltra_gtest name)
  cmake_parse_arguments(T "" "" "LIBS" ${ARGN})
  if(NOT T_LIBS)
    set(T_LIBS veltra_core)
  endif()
  add_executable(${name} ${T_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  veltra_test_paths(${name})
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST)
endfunction()

# The corpus of real reports from other systems (a folder "corpus" with a
# MANIFEST, kept beside the checkout, not in it): -DVELTRA_CORPUS_DIR=... or
# found one level up. Tests that use it skip when it is absent.
if(NOT DEFINED VELTRA_CORPUS_DIR)
  file(GLOB _veltra_manifests "${PROJECT_SOURCE_DIR}/../*/corpus/MANIFEST*" "${PROJECT_SOURCE_DIR}/../corpus/MANIFEST*")
  set(_veltra_corpus "${PROJECT_SOURCE_DIR}/../corpus")
  if(_veltra_manifests)
    list(GET _veltra_manifests 0 _veltra_first)
    get_filename_component(_veltra_corpus "${_veltra_first}" DIRECTORY)
  endif()
  set(VELTRA_CORPUS_DIR "${_veltra_corpus}" CACHE PATH "Folder of real reports with a MANIFEST (may be absent)")
endif()

# Where the fixtures and the corpus of real reports live. Tests read them
# through these macros.
function(veltra_test_paths name)
  target_compile_definitions(${name} PRIVATE
    VELTRA_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
    VELTRA_CORPUS_DIR="${VELTRA_CORPUS_DIR}")
endfunction()

function(veltra_qtest name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE veltra_ui Qt6::Test)
  veltra_test_paths(${name})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "VELTRA_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data;VELTRA_CORPUS=${VELTRA_CORPUS_DIR};QT_QPA_PLATFORM=offscreen"
    TIMEOUT 300)
endfunction()
