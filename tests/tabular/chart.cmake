# The chart tab: call sequences and list rules without Qt, then the real tab
# off screen (its grab is written to the build folder for a look).
tally_test(test_tabular_chart charttab_test.cpp)
target_link_libraries(test_tabular_chart PRIVATE tally_tabular_chart)

tally_test(test_tabular_chart_qt charttabpage_test.cpp)
target_link_libraries(test_tabular_chart_qt PRIVATE tally_tabular_chart_qt)
target_compile_definitions(test_tabular_chart_qt
                           PRIVATE TALLY_TEST_OUTPUT_DIR="${CMAKE_CURRENT_BINARY_DIR}")

