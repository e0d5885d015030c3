# The query dataset's engine rules, without a database.
tally_test(test_tabular_query query_test.cpp)
target_link_libraries(test_tabular_query PRIVATE tally_tabular_query)

# The dataset against real databases: the same cases on an SQLite file and
# on a throwaway PostgreSQL cluster that ctest brings up before them
# (postgres_fixture.sh) and ends after them. If the cluster cannot start,
# its tests fail (never skipped).
find_package(Qt6 REQUIRED COMPONENTS Sql)
add_executable(test_tabular_query_qt qt/tblshowqry_test.cpp)
tally_setup_target(test_tabular_query_qt)
target_include_directories(test_tabular_query_qt PRIVATE ${PROJECT_SOURCE_DIR}/tests)
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

# The tool's query command on both databases: the rows with their indicator
# labels, the list report and an export from the same dataset, and a refused
# table name. The table is made from one SQL file by each database's own
# client (Python's sqlite3, psql).
set(query_sql ${PROJECT_SOURCE_DIR}/tests/data/tabular/query-sales.sql)
set(query_rows
    "记录号\tid\tqy\tgrp\ta\tb\n1\t1\t华东\t1\t1\t1.25\n2\t2\t华北\t2\t2\t2.5\n3\t3\t华南\t1\t3\t3.75\n4\t4\t西南\t2\t4\t5\n5\t5\t东北\t1\t5\t6.25\n6\t6\t西北\t2\t6\t7.5\n7\t7\t华中\t1\t7\t8.75\n8\t8\t海外\t2\t8\t10\n最大值\t\t\t\t8\t10\n合计\t\t\t\t36\t45\nstatus 0\n")
function(query_tool_tests prefix make_db database)
  set(tool $<TARGET_FILE:tallytool>)
  add_test(NAME tallytool.query.${prefix}.rows
           COMMAND sh -c "${make_db} && ${tool} query \"${database}\" tool_sales --aggregate 'a;b' --kinds SUM,MAX 2>/dev/null; echo status $?")
  add_test(NAME tallytool.query.${prefix}.sorted
           COMMAND sh -c "${make_db} && ${tool} query \"${database}\" tool_sales --sort 'grp a' --desc 2>/dev/null | cut -f5 | tr '\\n' ' '")
  add_test(NAME tallytool.query.${prefix}.pdf
           COMMAND sh -c "${make_db} && rm -f q-${prefix}.pdf && ${tool} query \"${database}\" tool_sales --aggregate a --kinds AVG,MIN --pdf q-${prefix}.pdf 2>/dev/null && pdftotext -layout q-${prefix}.pdf - | grep -c 西南")
  add_test(NAME tallytool.query.${prefix}.xls
           COMMAND sh -c "${make_db} && ${tool} query \"${database}\" tool_sales --aggregate a --kinds SUM --xls q-${prefix}.xls 2>/dev/null")
  add_test(NAME tallytool.query.${prefix}.refused
           COMMAND sh -c "out=$(${tool} query \"${database}\" 'tool_sales\" --' 2>&1); s=$?; echo \"$out\" | grep -v QStandardPaths; echo status $s")
  set_tests_properties(tallytool.query.${prefix}.rows PROPERTIES PASS_REGULAR_EXPRESSION "^${query_rows}$")
  set_tests_properties(tallytool.query.${prefix}.sorted PROPERTIES PASS_REGULAR_EXPRESSION "^a 8 6 4 2 7 5 3 1 ")
  set_tests_properties(tallytool.query.${prefix}.pdf PROPERTIES PASS_REGULAR_EXPRESSION
                       "^q-${prefix}.pdf: list report, 10 row\\(s\\), 6 column\\(s\\), 1 page\\(s\\)[^\n]*\n1\n")
  set_tests_properties(tallytool.query.${prefix}.xls PROPERTIES PASS_REGULAR_EXPRESSION "^exported 9 rows of 5 columns to q-${prefix}.xls\n$")
  set_tests_properties(tallytool.query.${prefix}.refused PROPERTIES PASS_REGULAR_EXPRESSION
                       "tallytool query: [^\n]*: table name \"tool_sales\" --\" holds a double quote or NUL and is refused\nstatus 2\n")
  set_tests_properties(tallytool.query.${prefix}.rows tallytool.query.${prefix}.sorted
                       tallytool.query.${prefix}.pdf tallytool.query.${prefix}.xls
                       tallytool.query.${prefix}.refused
                       PROPERTIES WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR} ${ARGN})
endfunction()
query_tool_tests(sqlite
  "python3 -c \"import sqlite3, sys; sqlite3.connect(sys.argv[1]).executescript(open(sys.argv[2], encoding='utf-8').read())\" tool-sales.db ${query_sql}"
  tool-sales.db RESOURCE_LOCK tally_query_sqlite_file)
query_tool_tests(postgresql
  "PGOPTIONS='-c client_min_messages=warning' psql -q -X -v ON_ERROR_STOP=1 \"$(cat ${postgres_dir}/url)\" -f ${query_sql} >/dev/null"
  "$(cat ${postgres_dir}/url)" FIXTURES_REQUIRED tally_postgres RESOURCE_LOCK tally_postgres)
