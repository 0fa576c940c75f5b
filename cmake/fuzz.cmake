# Fuzz build: the native build compiled with clang, whose runtime holds libFuzzer, and the
# fuzz target, which plays the bytes of each input as frames on the module against the
# stand-ins and on the reference model, under the native build's sanitizers. Everything
# is instrumented for libFuzzer's coverage feedback; only the target links libFuzzer's main.
add_compile_options(-fsanitize=fuzzer-no-link)
include(${CMAKE_CURRENT_LIST_DIR}/native.cmake)

add_executable(bridge_fuzzer
  tests/fuzz/bridge_fuzzer.cpp
  tests/support/fresh_module.cpp
  tests/support/bridge_model.cpp
  tests/support/bridge_driver.cpp
  tests/support/bridge_report.cpp
)
target_compile_options(bridge_fuzzer PRIVATE ${COMMON_WARNINGS})
target_link_libraries(bridge_fuzzer PRIVATE tvl_module tvl_standin)
target_link_options(bridge_fuzzer PRIVATE -fsanitize=fuzzer)

# The gauge host's readers of a designer's files, each with its own target.
foreach(target calculator gauge_scripts scenario xml_tree panel_config aircraft)
  add_executable(${target}_fuzzer tests/fuzz/${target}_fuzzer.cpp)
  target_compile_options(${target}_fuzzer PRIVATE ${COMMON_WARNINGS})
  target_link_libraries(${target}_fuzzer PRIVATE tvl_gauge_host_parts tvl_module)
  target_link_options(${target}_fuzzer PRIVATE -fsanitize=fuzzer)
endforeach()
