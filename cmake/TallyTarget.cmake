# Compile settings shared by every target of the project's own code.
function(tally_setup_target target)
  target_compile_features(${target} PUBLIC cxx_std_20)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                                           -Wold-style-cast -Wcast-align -Woverloaded-virtual)
  if(TALLY_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  target_compile_definitions(${target} PRIVATE QT_NO_CAST_FROM_ASCII QT_NO_URL_CAST_FROM_STRING
                                               QT_DISABLE_DEPRECATED_BEFORE=0x060400)
endfunction()

if(TALLY_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# Engine library: standard C++ only (plus the libraries each folder names).
function(tally_library target)
  add_library(${target} STATIC ${ARGN})
  tally_setup_target(${target})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
endfunction()

# A GoogleTest executable registered with CTest. Tests get the source folder of
# their golden files through TALLY_TEST_DATA_DIR, never the working directory.
function(tally_test target)
  add_executable(${target} ${ARGN})
  tally_setup_target(${target})
  target_link_libraries(${target} PRIVATE GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${target} PRIVATE TALLY_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data")
  # Shared test helpers are included as "support/…".
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60
                       PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# A libFuzzer target (configure with clang and -DTALLY_FUZZ=ON; see scripts/fuzz.sh).
function(tally_fuzzer target)
  add_executable(${target} ${ARGN})
  tally_setup_target(${target})
  target_link_options(${target} PRIVATE -fsanitize=fuzzer)
endfunction()

if(TALLY_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
