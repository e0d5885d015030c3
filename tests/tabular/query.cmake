# The query dataset's engine rules, without a database.
tally_test(test_tabular_query query_test.cpp)
target_link_libraries(test_tabular_query PRIVATE tally_tabular_query)

# The dataset against real databases: the same cases on an SQLite file and
# on a throwaway PostgreSQL cluster that ctest brings up before them
# (postgres_fixture.sh) and ends after them. If the cluster cannot start,
# its tests fail (never skipped).
find_package(Qt6 REQUIRED COMPONENTS Sql)
add_executable(test_tabular_query_qt tblshowqry_test.cpp)
tally_setup_target(test_tabular_query_qt)
target_link_libraries(test_tabular_query_qt PRIVATE tally_tabular_query_qt Qt6::Sql GTest::gtest
                                                    GTest::gmock GTest::gtest_main)
gtest_discover_tests(test_tabular_query_qt DISCOVERY_TIMEOUT 60 TEST_PREFIX sqlite.
                     PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")

set(postgres_dir ${CMAKE_CURRENT_BINARY_DIR}/postgres)
add_test(NAME query.postgres.start
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/postgres_fixture.sh start ${postgres_dir})
add_test(NAME query.postgres.stop
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/postgres_fixture.sh stop ${postgres_dir})
set_tests_properties(query.postgres.start PROPERTIES FIXTURES_SETUP tally_postgres)
set_tests_properties(query.postgres.stop PROPERTIES FIXTURES_CLEANUP tally_postgres)
# One database for all cases: they run one after another.
gtest_discover_tests(test_tabular_query_qt DISCOVERY_TIMEOUT 60 TEST_PREFIX postgresql.
                     PROPERTIES FIXTURES_REQUIRED tally_postgres RESOURCE_LOCK tally_postgres
                                ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
                                ENVIRONMENT_MODIFICATION "TALLY_QUERY_URL_FILE=set:${postgres_dir}/url")
