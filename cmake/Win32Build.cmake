# Windows build: tavix.exe and, with TAVIX_WINDOWS_TESTS, the Win32 tests,
# helper programs and end-to-end tests run under Wine. Every executable lands
# in the build folder itself, so tests find tavix.exe and the helper programs
# beside themselves.
enable_language(RC)
option(TAVIX_WINDOWS_TESTS "Build the Win32 and end-to-end tests" OFF)

set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
set(CMAKE_EXE_LINKER_FLAGS "${CMAKE_EXE_LINKER_FLAGS} -static -static-libgcc -static-libstdc++")
# The same sources and toolchain give the same bytes: the linker writes no
# time stamp into the PE header (the archiver is deterministic by default,
# and the program's own objects carry no debug information and no paths).
string(APPEND CMAKE_EXE_LINKER_FLAGS " -Wl,--no-insert-timestamp")
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${CMAKE_SOURCE_DIR}/resources -I${TAVIX_GENERATED_DIR}")

# Tests run under Wine in a prefix owned by this build folder, of the kind
# that runs this build's code (32-bit Wine for the shipped 32-bit build).
set(TAVIX_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(TAVIX_WINE_ARCH win32)
else()
  set(TAVIX_WINE_ARCH win64)
endif()
set(TAVIX_WINE_ENV "WINEPREFIX=${TAVIX_WINE_PREFIX};TAVIX_WINE_ARCH=${TAVIX_WINE_ARCH}")
set(TAVIX_WINE_RUN ${CMAKE_SOURCE_DIR}/cmake/wine-run.sh)
set(CMAKE_CROSSCOMPILING_EMULATOR ${TAVIX_WINE_RUN})

set(TAVIX_SYSTEM_LIBS comctl32 comdlg32 shell32 shlwapi user32 gdi32 kernel32)

add_library(tavix_core STATIC ${TAVIX_CORE_SOURCES})
target_include_directories(tavix_core PUBLIC ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/resources)
target_compile_options(tavix_core PUBLIC ${TAVIX_CXX_FLAGS})
target_compile_definitions(tavix_core PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)

add_library(tavix_win32 STATIC ${TAVIX_WIN32_SOURCES})
target_link_libraries(tavix_win32 PUBLIC tavix_core ${TAVIX_SYSTEM_LIBS})

add_library(tavix_res OBJECT ${CMAKE_SOURCE_DIR}/resources/tavix.rc)
set_source_files_properties(${CMAKE_SOURCE_DIR}/resources/tavix.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/resources/resource.h;${CMAKE_SOURCE_DIR}/resources/tavix.ico;${CMAKE_SOURCE_DIR}/resources/tavix.manifest;${TAVIX_GENERATED_DIR}/tavix_version.h")

# The linked tavix.exe is kept as tavix-unstripped.exe for reading crash
# addresses (its symbol table names the functions) and then stripped, as it
# ships: the runtime libraries' debug sections are most of its size. strip
# writes the current time into the PE header unless SOURCE_DATE_EPOCH says
# otherwise; 0 is what the linker wrote.
add_executable(tavix WIN32 ${CMAKE_SOURCE_DIR}/src/app/winmain_win32.cpp $<TARGET_OBJECTS:tavix_res>)
target_link_libraries(tavix PRIVATE tavix_win32)
add_custom_command(TARGET tavix POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:tavix> ${CMAKE_BINARY_DIR}/tavix-unstripped.exe
  COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0 ${CMAKE_STRIP} --strip-all $<TARGET_FILE:tavix>
  VERBATIM)

# The usage file tavix.txt beside the program, made from its UTF-8 source.
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/tavix.txt
  COMMAND ${CMAKE_SOURCE_DIR}/cmake/usage-file.sh ${CMAKE_SOURCE_DIR}/resources/tavix.txt
          ${CMAKE_BINARY_DIR}/tavix.txt ${TAVIX_VERSION} ${TAVIX_DATE}
  DEPENDS ${CMAKE_SOURCE_DIR}/resources/tavix.txt ${CMAKE_SOURCE_DIR}/cmake/usage-file.sh
          ${TAVIX_VERSION_FILE}
  VERBATIM)
add_custom_target(tavix_usage_file ALL DEPENDS ${CMAKE_BINARY_DIR}/tavix.txt)
add_dependencies(tavix tavix_usage_file)

if(TAVIX_BENCH)
  include(cmake/Win32Bench.cmake)
endif()

if(NOT TAVIX_WINDOWS_TESTS)
  return()
endif()

add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# Windows path of a folder of this machine, as Wine's drive Z: shows it.
function(tavix_wine_path out unix_path)
  string(REPLACE "/" "\\\\" p "${unix_path}")
  set(${out} "Z:${p}" PARENT_SCOPE)
endfunction()
tavix_wine_path(TEST_DATA_WIN ${CMAKE_SOURCE_DIR}/tests/data)

file(GLOB TAVIX_TEST_SUPPORT CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/*.cpp)
add_library(tavix_test_support STATIC ${TAVIX_TEST_SUPPORT})
target_include_directories(tavix_test_support PUBLIC ${CMAKE_SOURCE_DIR}/tests/support ${CMAKE_SOURCE_DIR}/tests)
target_compile_definitions(tavix_test_support PRIVATE TAVIX_TEST_DATA_DIR_WIN="${TEST_DATA_WIN}")
target_link_libraries(tavix_test_support PUBLIC tavix_win32)

# Wine prefix set-up and the one wineserver kept alive for the run.
add_test(NAME wine.setup COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-prefix.sh setup ${TAVIX_WINE_PREFIX})
set_tests_properties(wine.setup PROPERTIES FIXTURES_SETUP wine TIMEOUT 300
  ENVIRONMENT "TAVIX_WINE_ARCH=${TAVIX_WINE_ARCH}")
add_test(NAME wine.cleanup COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-prefix.sh cleanup ${TAVIX_WINE_PREFIX})
set_tests_properties(wine.cleanup PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 60
  ENVIRONMENT "TAVIX_WINE_ARCH=${TAVIX_WINE_ARCH}")

function(tavix_wine_test test_name target)
  add_test(NAME ${test_name} COMMAND ${target} ${ARGN})
  set_tests_properties(${test_name} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 300
    ENVIRONMENT "${TAVIX_WINE_ENV}")
endfunction()

# Helper programs that tests start (console programs).
file(GLOB TAVIX_TEST_PROGRAMS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/programs/*.cpp)
set(TAVIX_TEST_PROGRAM_TARGETS)
foreach(program_source ${TAVIX_TEST_PROGRAMS})
  get_filename_component(name ${program_source} NAME_WE)
  add_executable(${name} ${program_source})
  target_compile_options(${name} PRIVATE ${TAVIX_CXX_FLAGS})
  target_link_libraries(${name} PRIVATE tavix_core ${TAVIX_SYSTEM_LIBS})
  list(APPEND TAVIX_TEST_PROGRAM_TARGETS ${name})
endforeach()

# GoogleTest executables of the Win32 code, with the program's resources.
file(GLOB TAVIX_WIN32_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win32/*_test.cpp)
foreach(test_source ${TAVIX_WIN32_TESTS})
  get_filename_component(name ${test_source} NAME_WE)
  string(REGEX REPLACE "_test$" "" short ${name})
  add_executable(win32_${name} ${test_source} $<TARGET_OBJECTS:tavix_res>)
  target_link_libraries(win32_${name} PRIVATE tavix_test_support tavix_win32 GTest::gtest_main uxtheme ole32 uuid)
  if(TAVIX_TEST_PROGRAM_TARGETS)
    add_dependencies(win32_${name} ${TAVIX_TEST_PROGRAM_TARGETS})
  endif()
  tavix_wine_test(win32.${short} win32_${name})
endforeach()

# End-to-end tests: drive tavix.exe through its window.
file(GLOB TAVIX_E2E_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*_e2e.cpp)
file(GLOB TAVIX_E2E_DRIVER CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*.cpp)
list(FILTER TAVIX_E2E_DRIVER EXCLUDE REGEX "_e2e\\.cpp$")
if(TAVIX_E2E_TESTS)
  add_library(tavix_e2e_driver STATIC ${TAVIX_E2E_DRIVER})
  target_link_libraries(tavix_e2e_driver PUBLIC tavix_test_support GTest::gtest)
endif()
foreach(test_source ${TAVIX_E2E_TESTS})
  get_filename_component(name ${test_source} NAME_WE)
  string(REGEX REPLACE "_e2e$" "" short ${name})
  add_executable(e2e_${name} ${test_source})
  target_link_libraries(e2e_${name} PRIVATE tavix_e2e_driver GTest::gtest_main)
  add_dependencies(e2e_${name} tavix)
  if(TAVIX_TEST_PROGRAM_TARGETS)
    add_dependencies(e2e_${name} ${TAVIX_TEST_PROGRAM_TARGETS})
  endif()
  tavix_wine_test(e2e.${short} e2e_${name})
  set_tests_properties(e2e.${short} PROPERTIES RESOURCE_LOCK desktop)
endforeach()
# Ctrl+Tab reaches the window as real input, which goes to whatever window is
# in front: a message box or dialog of a Win32 test running beside it would
# take the keys. That test runs alone.
if(TEST e2e.window)
  set_tests_properties(e2e.window PROPERTIES RUN_SERIAL ON)
endif()
