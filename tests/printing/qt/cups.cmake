# Printing through a real print system: ctest brings up a private cupsd with
# a cups-pdf queue (cups_fixture.sh) before these tests and ends it after
# them. If it cannot start, the tests that need it fail (not skipped).
if(NOT TARGET Cups::Cups)
  return()
endif()
set(fixture_dir ${CMAKE_CURRENT_BINARY_DIR}/cups)
add_test(NAME cups.start COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/cups_fixture.sh start ${fixture_dir})
add_test(NAME cups.stop COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/cups_fixture.sh stop ${fixture_dir})
set_tests_properties(cups.start PROPERTIES FIXTURES_SETUP tally_cups)
set_tests_properties(cups.stop PROPERTIES FIXTURES_CLEANUP tally_cups)

add_executable(test_printing_cups cups_print_test.cpp)
tally_setup_target(test_printing_cups)
target_link_libraries(test_printing_cups PRIVATE tally_test_service GTest::gtest GTest::gmock
                      GTest::gtest_main tally_document_windows tally_tabular_qt tally_preview
                      Qt6::PrintSupport Cups::Cups)
target_compile_definitions(test_printing_cups PRIVATE
  TALLY_CUPS_DIR="${fixture_dir}"
  TALLY_CUPS_FIXTURE="${CMAKE_CURRENT_SOURCE_DIR}/cups_fixture.sh")
# The program points CUPS_SERVER at the fixture itself. One queue for all
# cases: they run one after another.
gtest_discover_tests(test_printing_cups DISCOVERY_TIMEOUT 60
                     PROPERTIES FIXTURES_REQUIRED tally_cups RESOURCE_LOCK tally_cups
                                ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
