# The query dataset: SQL text, name checks, aggregate order, field displays
# and the static result table, without Qt.
tally_library(tally_tabular_query
  fielddisplay.cpp
  queryconnection.cpp
  queryresult.cpp
  querysql.cpp
)
target_link_libraries(tally_tabular_query PUBLIC tally_datapacket)
