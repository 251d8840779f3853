# updater_subsystem(name [DEPENDS targets...])
#
# Every folder under src/ is one static library made of its *.cpp files, without the other
# platform's *_win.cpp / *_posix.cpp files and without tests. Its *_test.cpp files form one
# GoogleTest executable, <name>_tests, registered with ctest (under Wine for the Windows build).
include(GoogleTest)

function(updater_platform_filter out_var)
  set(files ${ARGN})
  if(WIN32)
    list(FILTER files EXCLUDE REGEX "_posix(_test)?\\.cpp$")
  else()
    list(FILTER files EXCLUDE REGEX "_win(_test)?\\.cpp$")
  endif()
  set(${out_var} ${files} PARENT_SCOPE)
endfunction()

function(updater_subsystem name)
  cmake_parse_arguments(ARG "" "" "DEPENDS;TEST_DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "_test\\.cpp$")
  updater_platform_filter(sources ${sources})
  if(sources)
    add_library(${name} STATIC ${sources})
    set(scope PUBLIC)
  else()
    # A folder with headers only (or not yet written) still gives a target to link against.
    add_library(${name} INTERFACE)
    set(scope INTERFACE)
  endif()
  target_include_directories(${name} ${scope} ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} ${scope} ${ARG_DEPENDS})

  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  updater_platform_filter(tests ${tests})
  if(tests)
    add_executable(${name}_tests ${tests})
    target_link_libraries(${name}_tests PRIVATE ${name} ${ARG_TEST_DEPENDS} updater_test_support)
    if(CMAKE_CROSSCOMPILING)
      # Every process start under Wine costs a second or more: run each suite as one test.
      add_test(NAME ${name}_tests COMMAND ${name}_tests --gtest_brief=1
               WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
      set_tests_properties(${name}_tests PROPERTIES TIMEOUT 900)
    else()
      gtest_discover_tests(${name}_tests
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 120
        WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
        PROPERTIES TIMEOUT 300)
    endif()
  endif()
endfunction()
