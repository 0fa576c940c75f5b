# Native build: the module's sources against the stand-ins, with the unit tests,
# under AddressSanitizer and UndefinedBehaviorSanitizer.
set(SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
if(TVL_COVERAGE)
  # Counted by gcov instead: the sanitizers' checks would count among the module's branches.
  add_compile_options(--coverage)
  add_link_options(--coverage)
else()
  add_compile_options(${SANITIZERS})
  add_link_options(${SANITIZERS})
endif()

add_library(tvl_module STATIC ${MODULE_SOURCES})
include(${CMAKE_CURRENT_LIST_DIR}/gauge_host.cmake)
target_include_directories(tvl_module PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_options(tvl_module PRIVATE ${MODULE_WARNINGS})

add_library(tvl_standin STATIC
  standin/shared/panel_system.cpp
  standin/shared/key_message_text.cpp
  standin/native/win32_loader.cpp
  standin/native/win32_input.cpp
)
target_include_directories(tvl_standin PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_options(tvl_standin PRIVATE ${COMMON_WARNINGS})

find_package(GTest REQUIRED)
add_executable(native_tests
  tests/native/seatbelt_test.cpp
  tests/native/send_key_chord_test.cpp
  tests/native/switch_table_test.cpp
  tests/native/model_test.cpp
  tests/native/registration_test.cpp
  tests/native/scenario_test.cpp
  tests/native/gauge_host_options_test.cpp
  tests/native/gauge_host_trace_test.cpp
  tests/native/xml_tree_test.cpp
  tests/native/panel_check_test.cpp
  tests/native/aircraft_check_test.cpp
  tests/native/lost_presses_test.cpp
  tests/native/calculator_test.cpp
  tests/native/gauge_scripts_test.cpp
  tests/native/gauge_panel_test.cpp
  tests/native/timeline_test.cpp
  tests/native/text_test.cpp
  tests/native/published_gauges_test.cpp
  tests/support/fresh_module.cpp
  tests/support/bridge_model.cpp
  tests/support/bridge_driver.cpp
  tests/support/bridge_report.cpp
)
target_compile_options(native_tests PRIVATE ${COMMON_WARNINGS})
# The calculator's test checks the guide's reference of the operators against the table.
target_compile_definitions(native_tests PRIVATE TVL_GUIDE_PATH="${PROJECT_SOURCE_DIR}/docs/guide.md")
# The module calls the Win32 functions the stand-ins define.
target_link_libraries(native_tests PRIVATE tvl_gauge_host_parts tvl_module tvl_standin GTest::gtest_main)
include(GoogleTest)
gtest_discover_tests(native_tests)

# The module as loaded, in a program of its own: nothing resets or runs it first.
add_executable(loaded_module_test tests/native/loaded_module_test.cpp)
target_compile_options(loaded_module_test PRIVATE ${COMMON_WARNINGS})
target_link_libraries(loaded_module_test PRIVATE tvl_module tvl_standin GTest::gtest_main)
gtest_discover_tests(loaded_module_test)

# The module against the quiet stand-in platform, which never allocates, counted by
# AddressSanitizer's allocator: not in the coverage build, which runs without it.
if(NOT TVL_COVERAGE)
  add_executable(allocation_test tests/native/allocation_test.cpp standin/native/quiet_platform.cpp)
  target_compile_options(allocation_test PRIVATE ${COMMON_WARNINGS})
  target_link_libraries(allocation_test PRIVATE tvl_module GTest::gtest_main)
  gtest_discover_tests(allocation_test)
endif()

# The README's snippets are the examples' own lines.
add_test(NAME readme_snippets COMMAND ${PROJECT_SOURCE_DIR}/scripts/readme-snippets --check)
