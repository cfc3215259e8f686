# The Win32 layer, the program and its tests; built only for Windows.

# UI Automation declarations. mingw-w64's own uiautomationclient.h lacks the IUIAutomation
# interfaces; Wine's headers (from libwine-dev) compile with mingw when staged alone, so that
# their own includes resolve to mingw's headers. On Windows the SDK's headers serve instead.
add_library(vantro_uia_headers INTERFACE)
if(NOT VANTRO_WINDOWS_SDK)
  set(VANTRO_UIA_INCLUDE ${PROJECT_BINARY_DIR}/uia-include)
  file(MAKE_DIRECTORY ${VANTRO_UIA_INCLUDE})
  foreach(header uiautomationclient.h uiautomationcore.h)
    set(source /usr/include/wine/wine/windows/${header})
    if(NOT EXISTS ${source})
      message(FATAL_ERROR "${source} is missing: run scripts/bootstrap (libwine-dev)")
    endif()
    file(CREATE_LINK ${source} ${VANTRO_UIA_INCLUDE}/${header} SYMBOLIC)
  endforeach()
  target_include_directories(vantro_uia_headers SYSTEM BEFORE INTERFACE ${VANTRO_UIA_INCLUDE})
endif()

set(VANTRO_WIN32_DEFINITIONS _WIN32_WINNT=0x0A00 WINVER=0x0A00 UNICODE _UNICODE NOMINMAX
                             WIN32_LEAN_AND_MEAN)
set(VANTRO_WIN32_LIBS user32 gdi32 shell32 ole32 oleaut32 uuid advapi32 dwmapi comctl32 oleacc)

file(GLOB_RECURSE VANTRO_WIN_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/windows/*.cpp
     ${PROJECT_SOURCE_DIR}/src/app/*.cpp)
add_library(vantro_win STATIC ${VANTRO_WIN_SOURCES})
target_compile_definitions(vantro_win PUBLIC ${VANTRO_WIN32_DEFINITIONS})
target_link_libraries(vantro_win PUBLIC vantro_core vantro_uia_headers ${VANTRO_WIN32_LIBS})
vantro_warnings(vantro_win)

# The exe's version resource, compiled by windres from the project's version: the numbers
# that VANTRO_VERSION, the program's own version text, is made of.
enable_language(RC)
if(NOT PROJECT_VERSION STREQUAL "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}")
  message(FATAL_ERROR "src/vantro.rc needs a version of three numbers, not ${PROJECT_VERSION}")
endif()
add_library(vantro_version_resource OBJECT ${PROJECT_SOURCE_DIR}/src/vantro.rc)
target_compile_definitions(vantro_version_resource PRIVATE VANTRO_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
                           VANTRO_VERSION_MINOR=${PROJECT_VERSION_MINOR} VANTRO_VERSION_PATCH=${PROJECT_VERSION_PATCH})

add_executable(vantro WIN32 ${PROJECT_SOURCE_DIR}/src/main.cpp)
target_link_options(vantro PRIVATE -municode)
target_link_libraries(vantro PRIVATE vantro_win vantro_version_resource)
vantro_warnings(vantro)
# build/windows/vantro.exe, the path the scripts and the README name.
set_target_properties(vantro PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})

# The exe to hand out (the release preset) carries no debug information: it moves into
# vantro.debug beside the exe, which the exe names in its debug link, so that the addresses of
# a crash report can still be read (x86_64-w64-mingw32-addr2line -e vantro.debug ADDRESS).
option(VANTRO_SEPARATE_DEBUG_INFO "Move vantro.exe's debug information into vantro.debug beside it" OFF)
if(VANTRO_SEPARATE_DEBUG_INFO)
  add_custom_command(TARGET vantro POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug vantro.exe vantro.debug
    COMMAND ${CMAKE_OBJCOPY} --strip-all --add-gnu-debuglink=vantro.debug vantro.exe
    WORKING_DIRECTORY ${PROJECT_BINARY_DIR}
    COMMENT "Moving the debug information of vantro.exe into vantro.debug"
    VERBATIM)
endif()

# A Win32 test program runs twice: one process per test, and once more as a whole in one
# process, alone, so that a test that leans on what the tests before it left behind (a window
# class, a registration) fails here too.
function(vantro_add_win32_gtest target)
  vantro_add_gtest(${target} ${ARGN})
  add_test(NAME ${target}_in_one_process COMMAND ${target})
  set_tests_properties(${target}_in_one_process PROPERTIES RUN_SERIAL TRUE TIMEOUT 900)
endfunction()

# Win32 tests: a console program built from GoogleTest, run under Wine.
file(GLOB VANTRO_WIN_TESTS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/win/*.cpp)
add_executable(vantro_win_tests ${VANTRO_WIN_TESTS})
target_include_directories(vantro_win_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(vantro_win_tests PRIVATE vantro_win vantro_gtest_main)
vantro_warnings(vantro_win_tests)
vantro_add_win32_gtest(vantro_win_tests)

# Win32 tests that need the keyboard focus of the desktop (overlays, foreground changes): a
# window of a test running beside them would take it, so each runs alone.
file(GLOB VANTRO_FOCUS_TESTS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/win/focus/*.cpp)
if(VANTRO_FOCUS_TESTS)
  add_executable(vantro_focus_tests ${VANTRO_FOCUS_TESTS})
  target_include_directories(vantro_focus_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(vantro_focus_tests PRIVATE vantro_win vantro_gtest_main)
  vantro_warnings(vantro_focus_tests)
  vantro_add_win32_gtest(vantro_focus_tests RUN_SERIAL TRUE)
endif()

# Test-only programs and libraries (UI Automation stand-in, sample application).
if(EXISTS ${PROJECT_SOURCE_DIR}/tests/support/CMakeLists.txt)
  add_subdirectory(tests/support)
endif()
