# Native build: the core (no windows.h) and its tests under ASan and UBSan.
set(TAVIX_SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer
    -fno-sanitize-recover=undefined)
add_compile_options(-g)

add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

add_library(tavix_core STATIC ${TAVIX_CORE_SOURCES})
target_include_directories(tavix_core PUBLIC ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/resources)
target_compile_options(tavix_core PUBLIC ${TAVIX_CXX_FLAGS} ${TAVIX_SANITIZE})
target_link_options(tavix_core PUBLIC ${TAVIX_SANITIZE})

add_library(tavix_test_support STATIC ${CMAKE_SOURCE_DIR}/tests/support/test_env.cpp
            ${CMAKE_SOURCE_DIR}/tests/support/cmd_model.cpp
            ${CMAKE_SOURCE_DIR}/tests/support/cmd_model_lines.cpp)
target_include_directories(tavix_test_support PUBLIC ${CMAKE_SOURCE_DIR}/tests/support)
target_compile_definitions(tavix_test_support PRIVATE
  TAVIX_TEST_DATA_DIR="${CMAKE_SOURCE_DIR}/tests/data")
target_link_libraries(tavix_test_support PUBLIC tavix_core)

file(GLOB TAVIX_NATIVE_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/native/*_test.cpp)
foreach(test_source ${TAVIX_NATIVE_TESTS})
  get_filename_component(name ${test_source} NAME_WE)
  string(REGEX REPLACE "_test$" "" short ${name})
  add_executable(native_${name} ${test_source})
  target_link_libraries(native_${name} PRIVATE tavix_test_support tavix_core GTest::gtest_main)
  add_test(NAME native.${short} COMMAND native_${name})
  set_tests_properties(native.${short} PROPERTIES TIMEOUT 120
    ENVIRONMENT "ASAN_OPTIONS=detect_leaks=1:abort_on_error=0;UBSAN_OPTIONS=print_stacktrace=1")
endforeach()

# The fuzz targets of fuzz, each fed its corpus once by a plain main
# (the fuzzing itself is scripts/fuzz's, with clang and libFuzzer).
file(GLOB TAVIX_FUZZ_TARGETS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/fuzz/*_fuzz.cpp)
foreach(target_source ${TAVIX_FUZZ_TARGETS})
  get_filename_component(name ${target_source} NAME_WE)
  string(REGEX REPLACE "_fuzz$" "" short ${name})
  add_executable(replay_${name} ${target_source} ${CMAKE_SOURCE_DIR}/fuzz/replay_main.cpp)
  target_include_directories(replay_${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support)
  target_link_libraries(replay_${name} PRIVATE tavix_core)
  add_test(NAME fuzz.${short} COMMAND replay_${name} ${CMAKE_SOURCE_DIR}/fuzz/corpus/${short})
  set_tests_properties(fuzz.${short} PROPERTIES TIMEOUT 120
    ENVIRONMENT "ASAN_OPTIONS=detect_leaks=1;UBSAN_OPTIONS=print_stacktrace=1")
endforeach()
