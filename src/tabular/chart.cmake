# The chart tab: its state and rules, and the drawing as an ordered list of
# chart calls. No Qt.
tally_library(tally_tabular_chart
  chartcall.cpp
  charttab.cpp
  recordingchart.cpp
)
target_link_libraries(tally_tabular_chart PUBLIC tally_datapacket)

# The tab's widgets and the adapter that plays the calls on Qt Charts. Qt
# Charts is GPL-3 in its open-source edition (the rest of the Qt we use is
# LGPL): it is found here only and linked privately, and only the adapter
# (qt/chartplayer.cpp) includes it.
find_package(Qt6 REQUIRED COMPONENTS Charts)
tally_library(tally_tabular_chart_qt
  qt/chartplayer.cpp
  qt/charttabpage.cpp
)
target_link_libraries(tally_tabular_chart_qt PUBLIC tally_tabular_chart tally_base_qt Qt6::Widgets
                                             PRIVATE tally_printing_qt Qt6::Charts)
