# Windows build: the real module, a 32-bit DLL named Tvl_LvarSupport.gau. The runtime
# is linked statically: a panel designer ships this one file and nothing beside it.
enable_language(RC)
set(STATIC_RUNTIME -static -static-libgcc -static-libstdc++)

# Two builds of one commit give the same bytes wherever they run: the linker writes no time
# stamp into the file header or the export directory (so the header's checksum, taken over
# the whole file, is fixed too), and no path of the build machine reaches a file. The build
# folder's own mapping comes last so that it wins inside the source folder.
add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=>"
                    "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_BINARY_DIR}/=build/>")
add_link_options(-Wl,--no-insert-timestamp)

# Compiled once, linked into the module and into the Windows-side tests.
add_library(tvl_module_objects OBJECT ${MODULE_SOURCES})
target_include_directories(tvl_module_objects PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_options(tvl_module_objects PRIVATE ${MODULE_WARNINGS})

add_library(Tvl_LvarSupport SHARED
  $<TARGET_OBJECTS:tvl_module_objects>
  host/load_notification.cpp
  host/Tvl_LvarSupport.def
  host/resources.rc
)
target_include_directories(Tvl_LvarSupport PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_options(Tvl_LvarSupport PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${MODULE_WARNINGS}>)
# Stripped: the shipped file carries no symbols beyond its two exports.
target_link_options(Tvl_LvarSupport PRIVATE ${STATIC_RUNTIME} -s)
set_target_properties(Tvl_LvarSupport PROPERTIES PREFIX "" SUFFIX ".gau")

# The cabin add-on as the module meets it: a library "Travinel.dll" exporting "TvlExport".
add_library(Travinel SHARED standin/travinel_addon.cpp)
target_compile_options(Travinel PRIVATE ${COMMON_WARNINGS})
# Stripped, as it ships beside the gauge host.
target_link_options(Travinel PRIVATE ${STATIC_RUNTIME} -s)
set_target_properties(Travinel PROPERTIES PREFIX "")

# GoogleTest from Debian's sources, built with this toolchain.
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

add_library(tvl_standin_win32 STATIC
  standin/panel_system.cpp
  standin/main_window.cpp
)
target_include_directories(tvl_standin_win32 PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_options(tvl_standin_win32 PRIVATE ${COMMON_WARNINGS})

add_executable(win32_tests
  tests/win32/send_key_chord_test.cpp
  tests/win32/bridge_test.cpp
)
target_compile_options(win32_tests PRIVATE ${COMMON_WARNINGS})
target_link_libraries(win32_tests PRIVATE tvl_module_objects tvl_standin_win32 GTest::gtest_main)
target_link_options(win32_tests PRIVATE ${STATIC_RUNTIME})

# A stand-in host: loads the built Tvl_LvarSupport.gau and reads it as the simulator does.
add_executable(gau_tests tests/win32/gau_test.cpp)
target_compile_options(gau_tests PRIVATE ${COMMON_WARNINGS})
target_link_libraries(gau_tests PRIVATE tvl_standin_win32 GTest::gtest_main version)
target_link_options(gau_tests PRIVATE ${STATIC_RUNTIME})
add_dependencies(gau_tests Tvl_LvarSupport Travinel)

# One test process each under Wine, listed when ctest runs, so every test starts with a
# fresh module and a fresh keyboard state. Where 32-bit programs are emulated, starting
# one takes a minute or more.
include(GoogleTest)
gtest_discover_tests(win32_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 600)
gtest_discover_tests(gau_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 600)

# The file's exports and imported libraries, as the mingw objdump reads them.
add_test(NAME gau_exports_and_imports
  COMMAND ${PROJECT_SOURCE_DIR}/tests/win32/check_exports $<TARGET_FILE:Tvl_LvarSupport>)

# The gauge host: runs the real module offline through a scenario, with its trace.
set(DEFAULT_SCENARIO_HEADER ${CMAKE_BINARY_DIR}/generated/default_scenario.h)
add_custom_command(OUTPUT ${DEFAULT_SCENARIO_HEADER}
  COMMAND ${CMAKE_COMMAND} -DINPUT=${PROJECT_SOURCE_DIR}/scenarios/default.scn
          -DOUTPUT=${DEFAULT_SCENARIO_HEADER} -DNAME=kDefaultScenario -P ${PROJECT_SOURCE_DIR}/cmake/embed_text.cmake
  DEPENDS ${PROJECT_SOURCE_DIR}/scenarios/default.scn ${PROJECT_SOURCE_DIR}/cmake/embed_text.cmake)
add_executable(tvl_gauge_host
  tools/gauge_host/main.cpp
  tools/gauge_host/scenario.cpp
  bridge/switch_rows.cpp
  ${DEFAULT_SCENARIO_HEADER}
)
target_include_directories(tvl_gauge_host PRIVATE ${CMAKE_BINARY_DIR}/generated)
target_compile_options(tvl_gauge_host PRIVATE ${COMMON_WARNINGS})
target_link_libraries(tvl_gauge_host PRIVATE tvl_standin_win32)
target_link_options(tvl_gauge_host PRIVATE ${STATIC_RUNTIME} -s)
add_dependencies(tvl_gauge_host Tvl_LvarSupport Travinel)
add_test(NAME gauge_host_scenarios
  COMMAND ${PROJECT_SOURCE_DIR}/tests/win32/gauge_host_test $<TARGET_FILE:tvl_gauge_host>)
