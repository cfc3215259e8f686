# Third-party code comes from Debian packages only.
#   native: the host's own include folder and libraries.
#   cross:  a staged include folder of symlinks to just the header folders of those packages,
#           so that no glibc header reaches the mingw compiler; GoogleTest is compiled from
#           the sources Debian's googletest package installs.

add_library(vantro_deps INTERFACE)

function(vantro_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wno-missing-field-initializers)
endfunction()

if(CMAKE_CROSSCOMPILING)
  set(VANTRO_STAGED_INCLUDE ${PROJECT_BINARY_DIR}/staged-include)
  file(MAKE_DIRECTORY ${VANTRO_STAGED_INCLUDE})
  foreach(dir toml++ fmt utf8cpp)
    if(NOT EXISTS /usr/include/${dir})
      message(FATAL_ERROR "/usr/include/${dir} is missing: run scripts/bootstrap")
    endif()
    file(CREATE_LINK /usr/include/${dir} ${VANTRO_STAGED_INCLUDE}/${dir} SYMBOLIC)
  endforeach()
  file(CREATE_LINK /usr/include/utf8cpp/utf8.h ${VANTRO_STAGED_INCLUDE}/utf8.h SYMBOLIC)
  target_include_directories(vantro_deps SYSTEM INTERFACE ${VANTRO_STAGED_INCLUDE}
                                                          ${VANTRO_STAGED_INCLUDE}/utf8cpp)
  target_compile_definitions(vantro_deps INTERFACE FMT_HEADER_ONLY=1)

  set(VANTRO_GTEST_SRC /usr/src/googletest)
  if(NOT EXISTS ${VANTRO_GTEST_SRC}/googletest/src/gtest-all.cc)
    message(FATAL_ERROR "GoogleTest sources missing in ${VANTRO_GTEST_SRC}: run scripts/bootstrap")
  endif()
  add_library(vantro_gtest STATIC ${VANTRO_GTEST_SRC}/googletest/src/gtest-all.cc
                                  ${VANTRO_GTEST_SRC}/googlemock/src/gmock-all.cc)
  target_include_directories(vantro_gtest SYSTEM PUBLIC
    ${VANTRO_GTEST_SRC}/googletest/include ${VANTRO_GTEST_SRC}/googlemock/include)
  target_include_directories(vantro_gtest PRIVATE ${VANTRO_GTEST_SRC}/googletest
                                                  ${VANTRO_GTEST_SRC}/googlemock)
  add_library(vantro_gtest_main STATIC ${VANTRO_GTEST_SRC}/googletest/src/gtest_main.cc)
  target_link_libraries(vantro_gtest_main PUBLIC vantro_gtest)
else()
  find_package(fmt REQUIRED)
  find_package(utf8cpp REQUIRED)
  find_package(GTest REQUIRED)
  find_package(benchmark QUIET)
  target_link_libraries(vantro_deps INTERFACE fmt::fmt)
  target_include_directories(vantro_deps SYSTEM INTERFACE /usr/include/utf8cpp)
  add_library(vantro_gtest INTERFACE)
  target_link_libraries(vantro_gtest INTERFACE GTest::gtest GTest::gmock)
  add_library(vantro_gtest_main INTERFACE)
  target_link_libraries(vantro_gtest_main INTERFACE GTest::gtest_main GTest::gmock)
endif()

include(GoogleTest)
# Tests are listed when CTest runs (never at build time): under Wine that needs the prepared
# prefix and display that scripts/test sets up.
function(vantro_add_gtest target)
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       PROPERTIES TIMEOUT 120 ${ARGN})
endfunction()
