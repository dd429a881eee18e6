# Benchmark build (scripts/bench): the core as the program ships it, optimised
# and without sanitizers, and the native benchmarks of bench.
find_package(benchmark REQUIRED)

add_library(tavix_core STATIC ${TAVIX_CORE_SOURCES})
target_include_directories(tavix_core PUBLIC ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/resources)
target_compile_options(tavix_core PUBLIC ${TAVIX_CXX_FLAGS})

file(GLOB TAVIX_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*_bench.cpp)
add_executable(tavix_bench ${CMAKE_SOURCE_DIR}/bench/bench_main.cpp ${TAVIX_BENCH_SOURCES})
target_include_directories(tavix_bench PRIVATE ${CMAKE_SOURCE_DIR}/bench)
target_link_libraries(tavix_bench PRIVATE tavix_core benchmark::benchmark)
