# The frame benchmark: the module's sources, optimised and without sanitizers, against the
# quiet stand-in platform.
find_package(benchmark REQUIRED)
add_library(tvl_module_bench STATIC ${MODULE_SOURCES} standin/native/quiet_platform.cpp)
target_include_directories(tvl_module_bench PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_options(tvl_module_bench PRIVATE ${COMMON_WARNINGS})
add_executable(frame_benchmark bench/frame_benchmark.cpp)
target_compile_options(frame_benchmark PRIVATE ${COMMON_WARNINGS})
target_link_libraries(frame_benchmark PRIVATE tvl_module_bench benchmark::benchmark)

# The gauge host's calculator running a panel's worth of compiled gauge scripts.
include(${CMAKE_CURRENT_LIST_DIR}/gauge_host.cmake)
# GCC 12 at -O3 warns falsely of overlapping copies inside std::string's operator+.
target_compile_options(tvl_gauge_host_parts PRIVATE $<$<CXX_COMPILER_ID:GNU>:-Wno-restrict>)
add_executable(calculator_benchmark bench/calculator_benchmark.cpp)
target_compile_options(calculator_benchmark PRIVATE ${COMMON_WARNINGS})
target_link_libraries(calculator_benchmark PRIVATE tvl_gauge_host_parts tvl_module_bench)
