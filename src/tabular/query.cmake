# The query dataset: SQL text, name checks, aggregate order, field displays
# and the static result table, without Qt.
tally_library(tally_tabular_query
  fielddisplay.cpp
  queryconnection.cpp
  queryresult.cpp
  querysql.cpp
)
target_link_libraries(tally_tabular_query PUBLIC tally_tabular tally_datapacket)

# The dataset itself reads through Qt SQL (SQLite embedded, other drivers by
# connection string).
find_package(Qt6 REQUIRED COMPONENTS Sql)
tally_library(tally_tabular_query_qt
  qt/tblshowqry.cpp
)
target_link_libraries(tally_tabular_query_qt PUBLIC tally_tabular_query PRIVATE Qt6::Sql)
