# Fuzz build (scripts/fuzz): clang with libFuzzer, AddressSanitizer and UBSan
# over the core and the targets of fuzz. clang has no
# -fexec-charset=CP932, so the core is compiled from a copy of src/ whose
# non-ASCII characters are spelled as octal escapes of their cp932 bytes
# (cmake/cp932-escape.py, run again at every configure: scripts/fuzz
# configures before each build).
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(TAVIX_ESCAPED_SRC ${CMAKE_BINARY_DIR}/escaped/src)
execute_process(
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/cmake/cp932-escape.py
          ${CMAKE_SOURCE_DIR}/src ${TAVIX_ESCAPED_SRC}
  COMMAND_ERROR_IS_FATAL ANY)

file(GLOB TAVIX_ESCAPED_CORE ${TAVIX_ESCAPED_SRC}/*/*.cpp)
list(FILTER TAVIX_ESCAPED_CORE EXCLUDE REGEX "_win32\\.cpp$")

set(TAVIX_FUZZ_FLAGS -g -O1 -fno-omit-frame-pointer -fsanitize=address,undefined
    -fno-sanitize-recover=undefined)
add_library(tavix_core STATIC ${TAVIX_ESCAPED_CORE})
target_include_directories(tavix_core PUBLIC ${TAVIX_ESCAPED_SRC} ${CMAKE_SOURCE_DIR}/resources)
target_compile_options(tavix_core PUBLIC -Wall -Wextra -Wno-ignored-attributes ${TAVIX_FUZZ_FLAGS}
  -fsanitize=fuzzer-no-link)
target_link_options(tavix_core PUBLIC ${TAVIX_FUZZ_FLAGS})

file(GLOB TAVIX_FUZZ_TARGETS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/fuzz/*_fuzz.cpp)
foreach(target_source ${TAVIX_FUZZ_TARGETS})
  get_filename_component(name ${target_source} NAME_WE)
  add_executable(${name} ${target_source})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/fuzz
                             ${CMAKE_SOURCE_DIR}/tests/support)
  target_link_libraries(${name} PRIVATE tavix_core)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
endforeach()
