# Windows build: the real module, a 32-bit DLL named Tvl_LvarSupport.gau. The runtime
# is linked statically: a panel designer ships this one file and nothing beside it.
add_library(Tvl_LvarSupport SHARED ${MODULE_SOURCES})
target_include_directories(Tvl_LvarSupport PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_options(Tvl_LvarSupport PRIVATE ${MODULE_WARNINGS})
target_link_options(Tvl_LvarSupport PRIVATE -static -static-libgcc -static-libstdc++)
set_target_properties(Tvl_LvarSupport PROPERTIES PREFIX "" SUFFIX ".gau")
