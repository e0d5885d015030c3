# The cross build of the Gridora control for the Wine tests (scripts/activex.sh):
# the engine libraries it needs, pugixml from its source (Debian's -dev package
# has none for mingw), the COM glue, a stand-in form and the test programs.
if(NOT WIN32)
  message(FATAL_ERROR "TALLY_GRIDORA_CROSS needs a Windows toolchain (cmake/mingw-w64-x86_64.cmake)")
endif()
# GCC 12's -Wrestrict misfires inside std::string at -O2 and above (GCC bug
# 105329); Debian's mingw-w64 is GCC 12.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  add_compile_options(-Wno-restrict)
endif()
# mingw-w64 declares localtime_r only on request.
add_compile_definitions(_POSIX_THREAD_SAFE_FUNCTIONS)
set(TALLY_PUGIXML_SOURCE_DIR "" CACHE PATH "Unpacked pugixml source (with src/pugixml.cpp)")
if(NOT EXISTS "${TALLY_PUGIXML_SOURCE_DIR}/src/pugixml.cpp")
  message(FATAL_ERROR "TALLY_PUGIXML_SOURCE_DIR must name an unpacked pugixml source")
endif()
# pugixml is not our code: its own warnings do not fail the build.
add_library(pugixml STATIC ${TALLY_PUGIXML_SOURCE_DIR}/src/pugixml.cpp)
target_include_directories(pugixml SYSTEM PUBLIC ${TALLY_PUGIXML_SOURCE_DIR}/src)
add_library(pugixml::pugixml ALIAS pugixml)

add_subdirectory(src/base)
add_subdirectory(src/datapacket)
add_subdirectory(src/activex)
add_subdirectory(tests/base/win)
add_subdirectory(tests/activex/win)
