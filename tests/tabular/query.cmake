# The query dataset's engine rules, without a database.
tally_test(test_tabular_query query_test.cpp)
target_link_libraries(test_tabular_query PRIVATE tally_tabular_query)
