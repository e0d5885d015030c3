# The chart tab: call sequences and list rules, without Qt.
tally_test(test_tabular_chart charttab_test.cpp)
target_link_libraries(test_tabular_chart PRIVATE tally_tabular_chart)
