# The gauge host's portable parts, one library defined once: linked by the native tests and
# fuzzers, and by the gauge host of both Windows builds. Its Windows-only parts (the
# program, the panel the module runs in, the XML parser Windows provides, files and
# folders) are in cmake/windows.cmake. The module's switch table comes from the module's
# own sources, linked beside it.
set(GAUGE_HOST tools/gauge_host)
add_library(tvl_gauge_host_parts STATIC
  ${GAUGE_HOST}/command_line/options.cpp
  ${GAUGE_HOST}/common/diagnostic.cpp
  ${GAUGE_HOST}/common/module_variables.cpp
  ${GAUGE_HOST}/common/text.cpp
  ${GAUGE_HOST}/scenario/check_scenario.cpp
  ${GAUGE_HOST}/scenario/steps.cpp
  ${GAUGE_HOST}/script/calculator.cpp
  ${GAUGE_HOST}/script/gauge_scripts.cpp
  ${GAUGE_HOST}/script/variable_reference.cpp
  ${GAUGE_HOST}/xml/xml_tree.cpp
  ${GAUGE_HOST}/check/aircraft.cpp
  ${GAUGE_HOST}/check/panel_check.cpp
  ${GAUGE_HOST}/check/lost_presses.cpp
  ${GAUGE_HOST}/play/gauge_panel.cpp
  ${GAUGE_HOST}/play/timeline.cpp
  ${GAUGE_HOST}/play/trace.cpp
)
target_include_directories(tvl_gauge_host_parts PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_options(tvl_gauge_host_parts PRIVATE ${COMMON_WARNINGS})
