# Benchmarks run under Wine (scripts/bench): the start-up driver and its
# anchor, a program that shows the main dialog template with no code behind it.
add_executable(startup_anchor WIN32 ${CMAKE_SOURCE_DIR}/bench/startup_anchor_win32.cpp
               $<TARGET_OBJECTS:tavix_res>)
target_include_directories(startup_anchor PRIVATE ${CMAKE_SOURCE_DIR}/resources)
target_link_libraries(startup_anchor PRIVATE user32)

add_executable(startup_bench ${CMAKE_SOURCE_DIR}/bench/startup_bench_win32.cpp)
target_include_directories(startup_bench PRIVATE ${CMAKE_SOURCE_DIR}/bench)
add_dependencies(startup_bench tavix startup_anchor)

# The INI engine next to the system's profile functions.
add_executable(ini_bench ${CMAKE_SOURCE_DIR}/bench/ini_bench_win32.cpp)
target_include_directories(ini_bench PRIVATE ${CMAKE_SOURCE_DIR}/bench)
target_link_libraries(ini_bench PRIVATE tavix_win32)

# The run list driven through tavix.exe, and the command it runs.
add_executable(run_list_child ${CMAKE_SOURCE_DIR}/bench/run_list_child_win32.cpp)
target_include_directories(run_list_child PRIVATE ${CMAKE_SOURCE_DIR}/bench)
add_executable(run_list_bench ${CMAKE_SOURCE_DIR}/bench/run_list_bench_win32.cpp
               ${CMAKE_SOURCE_DIR}/bench/run_list_driver_win32.cpp)
target_include_directories(run_list_bench PRIVATE ${CMAKE_SOURCE_DIR}/bench ${CMAKE_SOURCE_DIR}/resources)
add_dependencies(run_list_bench tavix run_list_child)
