# Fuzz targets: each fuzz/<name>.cpp is a libFuzzer-style harness (LLVMFuzzerTestOneInput)
# linked with AFL++'s driver into fuzz_<name>. The `fuzz` preset builds them with
# afl-g++-fast and AddressSanitizer/UndefinedBehaviorSanitizer; scripts/fuzz runs them. Its
# optimised build keeps assertions on (no NDEBUG), those of the libraries too, so that input
# which breaks what a library assumes of it aborts the target instead of passing unseen.

set(VANTRO_AFL_DRIVER /usr/lib/afl/libAFLDriver.a CACHE FILEPATH "AFL++'s libFuzzer-style driver")
if(NOT EXISTS ${VANTRO_AFL_DRIVER})
  message(FATAL_ERROR "${VANTRO_AFL_DRIVER} is missing: run scripts/bootstrap (afl++)")
endif()

add_custom_target(vantro_fuzzers)
file(GLOB VANTRO_FUZZ_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/fuzz/*.cpp)
foreach(source ${VANTRO_FUZZ_SOURCES})
  get_filename_component(name ${source} NAME_WE)
  add_executable(fuzz_${name} ${source})
  target_include_directories(fuzz_${name} PRIVATE ${PROJECT_SOURCE_DIR}/fuzz)
  target_link_libraries(fuzz_${name} PRIVATE vantro_core ${VANTRO_AFL_DRIVER})
  vantro_warnings(fuzz_${name})
  set_target_properties(fuzz_${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/fuzzers)
  add_dependencies(vantro_fuzzers fuzz_${name})
endforeach()
