# One static library per source folder; the folder's sources are picked up by
# glob so that adding a file needs no edit here.
function(vantrel_add_library name folder)
  file(GLOB _sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp)
  if(_sources)
    add_library(${name} STATIC ${_sources})
    set(_scope PUBLIC)
  else()
    # A folder without sources yet still takes part in the dependency graph.
    add_library(${name} INTERFACE)
    set(_scope INTERFACE)
  endif()
  target_include_directories(${name} ${_scope} ${PROJECT_SOURCE_DIR}/src)
  set(_deps ${ARGN})
  if(_deps)
    target_link_libraries(${name} ${_scope} ${_deps})
  endif()
endfunction()

# One test executable per test folder: tests/<folder>/*_test.cpp.
function(vantrel_add_test name folder)
  file(GLOB _sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp)
  if(NOT _sources)
    return()
  endif()
  add_executable(${name} ${_sources})
  # A folder with a main.cpp of its own (one that needs a QGuiApplication, say)
  # does not take gtest's.
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/main.cpp)
    set(_gtest GTest::gtest)
  else()
    set(_gtest GTest::gtest_main)
  endif()
  target_link_libraries(${name} PRIVATE vantrel_test_common ${_gtest} ${ARGN})
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
    DISCOVERY_TIMEOUT 120)
endfunction()
