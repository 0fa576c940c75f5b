# Windows builds. The 32-bit build makes the real module, a DLL named Tvl_LvarSupport.gau,
# and the programs the release ships; the 64-bit build makes the same sources into the
# Windows-side tests' build, whose programs start at native speed under 64-bit Wine where
# 32-bit code may be emulated. The runtime is linked statically into every program and
# library: a panel designer ships the module as this one file and nothing beside it, and
# the tests run as built.
enable_language(RC)
add_link_options(-static -static-libgcc -static-libstdc++)

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
set_target_properties(Tvl_LvarSupport PROPERTIES PREFIX "" SUFFIX ".gau")

# The cabin add-on as the module meets it: a library "Travinel.dll" exporting "TvlExport".
add_library(Travinel SHARED standin/windows/travinel_addon.cpp)
target_include_directories(Travinel PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_options(Travinel PRIVATE ${COMMON_WARNINGS})
set_target_properties(Travinel PROPERTIES PREFIX "")

add_library(tvl_standin_win32 STATIC
  standin/shared/panel_system.cpp
  standin/shared/key_message_text.cpp
  standin/windows/main_window.cpp
  standin/windows/loaded_module.cpp
)
target_include_directories(tvl_standin_win32 PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_options(tvl_standin_win32 PRIVATE ${COMMON_WARNINGS})

# The XML reader over the parser Windows provides. mingw-w64 has no import library for
# xmllite.dll: one is made from its one entry, which 32-bit Windows names with the size of
# its arguments (standard calling convention) and 64-bit Windows plainly.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(XMLLITE_ENTRY CreateXmlReader@12)
else()
  set(XMLLITE_ENTRY CreateXmlReader)
endif()
set(XMLLITE_DEFINITION ${CMAKE_BINARY_DIR}/generated/xmllite.def)
file(WRITE ${XMLLITE_DEFINITION} "LIBRARY xmllite.dll\nEXPORTS\n${XMLLITE_ENTRY}\n")
set(XMLLITE_IMPORT_LIBRARY ${CMAKE_BINARY_DIR}/generated/libxmllite.a)
add_custom_command(OUTPUT ${XMLLITE_IMPORT_LIBRARY}
  COMMAND ${CMAKE_DLLTOOL} -k -d ${XMLLITE_DEFINITION} -l ${XMLLITE_IMPORT_LIBRARY}
  DEPENDS ${XMLLITE_DEFINITION})
add_custom_target(xmllite_import_library DEPENDS ${XMLLITE_IMPORT_LIBRARY})

# The gauge host: runs the real module offline through scenarios, with their trace, and
# checks a designer's files; its portable parts are the library of cmake/gauge_host.cmake.
include(${CMAKE_CURRENT_LIST_DIR}/gauge_host.cmake)
# GCC 12 at -O3 takes "text" + std::string for an overlapping copy (its bug 105329).
target_compile_options(tvl_gauge_host_parts PRIVATE -Wno-restrict)
set(DEFAULT_SCENARIO ${PROJECT_SOURCE_DIR}/${GAUGE_HOST}/play/default.scn)
set(DEFAULT_SCENARIO_HEADER ${CMAKE_BINARY_DIR}/generated/default_scenario.h)
add_custom_command(OUTPUT ${DEFAULT_SCENARIO_HEADER}
  COMMAND ${CMAKE_COMMAND} -DINPUT=${DEFAULT_SCENARIO} -DOUTPUT=${DEFAULT_SCENARIO_HEADER} -DNAME=kDefaultScenario
          -P ${PROJECT_SOURCE_DIR}/cmake/embed_text.cmake
  DEPENDS ${DEFAULT_SCENARIO} ${PROJECT_SOURCE_DIR}/cmake/embed_text.cmake)
add_executable(tvl_gauge_host
  ${GAUGE_HOST}/main.cpp
  ${GAUGE_HOST}/check/check_mode.cpp
  ${GAUGE_HOST}/play/panel.cpp
  ${GAUGE_HOST}/play/run.cpp
  ${GAUGE_HOST}/windows/cabinet.cpp
  ${GAUGE_HOST}/windows/files.cpp
  ${GAUGE_HOST}/xml/xml_reader.cpp
  bridge/switch_rows.cpp
  ${DEFAULT_SCENARIO_HEADER}
)
target_include_directories(tvl_gauge_host PRIVATE ${CMAKE_BINARY_DIR}/generated)
target_compile_options(tvl_gauge_host PRIVATE ${COMMON_WARNINGS} -Wno-restrict)
add_dependencies(tvl_gauge_host xmllite_import_library Tvl_LvarSupport Travinel)
# cabinet.dll reads the gauges an aircraft keeps in .cab files.
target_link_libraries(tvl_gauge_host PRIVATE tvl_gauge_host_parts tvl_standin_win32 ${XMLLITE_IMPORT_LIBRARY}
  shlwapi ole32 oleaut32 bcrypt version cabinet)
# What the release ships, built by the target "shipped", and stripped: the module carries
# no symbols beyond its two exports, and the gauge host and its stand-in add-on none at all.
set(SHIPPED_PROGRAMS Tvl_LvarSupport Travinel tvl_gauge_host)
add_custom_target(shipped DEPENDS ${SHIPPED_PROGRAMS})
foreach(shipped ${SHIPPED_PROGRAMS})
  target_link_options(${shipped} PRIVATE -s)
endforeach()

# The tests, left out where only the module and its gauge host are built (scripts/run).
if(NOT BUILD_TESTING)
  return()
endif()

# GoogleTest from its sources, built with this toolchain.
set(GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest's sources (Debian's package googletest puts them here)")
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

# The module's Windows-side tests: its code linked in, against real windows and keyboard
# state; and the built .gau loaded as the simulator loads it, beside the stand-in add-on.
# Its records read word by word are the simulator's 32-bit layout, checked in that build.
set(WINDOWS_TEST_SOURCES
  tests/windows/send_key_chord_test.cpp
  tests/windows/bridge_test.cpp
  tests/windows/gau_test.cpp
)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  list(APPEND WINDOWS_TEST_SOURCES tests/windows/gau_records_test.cpp)
endif()
add_executable(windows_tests ${WINDOWS_TEST_SOURCES})
target_compile_options(windows_tests PRIVATE ${COMMON_WARNINGS})
target_link_libraries(windows_tests PRIVATE tvl_module_objects tvl_standin_win32 GTest::gtest_main version)
add_dependencies(windows_tests Tvl_LvarSupport Travinel)

include(GoogleTest)
# Which build runs which test. Where the kernel runs no 32-bit code, every 32-bit Windows
# program starts under QEMU's emulator, a minute each; 64-bit ones start in well under a
# second. So the 64-bit build runs every Windows-side test, each case its own program where
# that isolates it; the 32-bit build runs only what proves the shipped binaries themselves,
# in four programs in all: the module's tests in one process (the records in the simulator's
# 32-bit layout, the module's code as compiled for it, each test with the .gau and the
# add-on loaded afresh), and the release's gauge host playing every example scenario in one
# run, then checking the examples, then the example aircraft.
set(HOST_TESTS ${PROJECT_SOURCE_DIR}/tests/windows)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  gtest_discover_tests(windows_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120)
  # Every test in one process in a shuffled order, as the 32-bit build runs them: none may
  # depend on what an earlier one left.
  add_test(NAME windows_tests_in_one_process COMMAND windows_tests --gtest_shuffle --gtest_repeat=3 --gtest_brief=1)
  # A window on a thread of its own, made and destroyed 200 times in one process: a race
  # between that thread and its maker shows within a few rounds.
  add_test(NAME main_window_threads_repeated
    COMMAND windows_tests --gtest_filter=SendKeyChordWin32Test.*OnAnotherThread --gtest_repeat=200 --gtest_brief=1)
  # What loading a large gauge costs (scripts/bench-gauge-load runs it): a benchmark, not a test.
  add_executable(gauge_load_benchmark bench/gauge_load_benchmark.cpp ${GAUGE_HOST}/xml/xml_reader.cpp
    ${GAUGE_HOST}/windows/files.cpp)
  target_compile_options(gauge_load_benchmark PRIVATE ${COMMON_WARNINGS} -Wno-restrict)
  add_dependencies(gauge_load_benchmark xmllite_import_library)
  target_link_libraries(gauge_load_benchmark PRIVATE tvl_gauge_host_parts ${XMLLITE_IMPORT_LIBRARY} shlwapi ole32
    oleaut32 bcrypt version)
  # Another aircraft's gauge module, which the gauge host must refuse, saying why.
  add_library(other_gauges SHARED tests/windows/other_gauge.cpp tests/windows/other_gauge.def)
  target_include_directories(other_gauges PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_options(other_gauges PRIVATE ${COMMON_WARNINGS})
  set_target_properties(other_gauges PROPERTIES PREFIX "" OUTPUT_NAME Other_Gauges SUFFIX ".gau")
  add_test(NAME gauge_host_scenarios
    COMMAND ${HOST_TESTS}/gauge_host_test $<TARGET_FILE:tvl_gauge_host> $<TARGET_FILE:other_gauges>)
  add_test(NAME gauge_host_check COMMAND ${HOST_TESTS}/check_test $<TARGET_FILE:tvl_gauge_host>)
  # Every command README.md and the guide show with its output, run as they show it.
  add_test(NAME docs_outputs
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/readme-snippets --outputs $<TARGET_FILE_DIR:tvl_gauge_host>)
else()
  add_test(NAME windows_tests COMMAND windows_tests --gtest_brief=1)
  # The release's gauge host, unpacked from the archive scripts/package wrote, as a designer
  # on Windows runs it, with the output the guide shows. scripts/test packages first.
  add_test(NAME package_plays_examples
    COMMAND ${PROJECT_SOURCE_DIR}/tests/package/play_examples $<TARGET_FILE_DIR:tvl_gauge_host>)
  # The file's exports and imported libraries, as the mingw objdump reads them.
  add_test(NAME gau_exports_and_imports COMMAND ${HOST_TESTS}/check_exports $<TARGET_FILE:Tvl_LvarSupport>)
  add_test(NAME run_shows_a_failed_build COMMAND ${HOST_TESTS}/run_build_failure_test)
endif()
