# The chart tab: its state and rules, and the drawing as an ordered list of
# chart calls. No Qt.
tally_library(tally_tabular_chart
  chartcall.cpp
  charttab.cpp
  recordingchart.cpp
)
target_link_libraries(tally_tabular_chart PUBLIC tally_datapacket)

