# The frame benchmark: the module's sources, optimised and without sanitizers, against the
# quiet stand-in platform.
find_package(benchmark REQUIRED)
add_library(tvl_module_bench STATIC ${MODULE_SOURCES} standin/native/quiet_platform.cpp)
target_include_directories(tvl_module_bench PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_options(tvl_module_bench PRIVATE ${COMMON_WARNINGS})
add_executable(frame_benchmark bench/frame_benchmark.cpp)
target_compile_options(frame_benchmark PRIVATE ${COMMON_WARNINGS})
target_link_libraries(frame_benchmark PRIVATE tvl_module_bench benchmark::benchmark)
