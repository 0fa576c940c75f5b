# Windows build: the real module, a 32-bit DLL named Tvl_LvarSupport.gau. The runtime
# is linked statically: a panel designer ships this one file and nothing beside it.
set(STATIC_RUNTIME -static -static-libgcc -static-libstdc++)

# Compiled once, linked into the module and into the Windows-side tests.
add_library(tvl_module_objects OBJECT ${MODULE_SOURCES})
target_include_directories(tvl_module_objects PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_options(tvl_module_objects PRIVATE ${MODULE_WARNINGS})

add_library(Tvl_LvarSupport SHARED $<TARGET_OBJECTS:tvl_module_objects>)
target_link_options(Tvl_LvarSupport PRIVATE ${STATIC_RUNTIME})
set_target_properties(Tvl_LvarSupport PROPERTIES PREFIX "" SUFFIX ".gau")

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

# One test process each under Wine, listed when ctest runs, so every test starts with a
# fresh module and a fresh keyboard state.
include(GoogleTest)
gtest_discover_tests(win32_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60)
