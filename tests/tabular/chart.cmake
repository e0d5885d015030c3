# The chart tab's call sequences and list rules, without Qt.
tally_test(test_tabular_chart charttab_test.cpp)
target_link_libraries(test_tabular_chart PRIVATE tally_tabular_chart)

# The tool's chart command: a bare packet and a URL-encoded request each give
# a PNG of the size asked for (the width and height in its header); a field
# not offered for its axis, a request of another document type and a missing
# argument give their status.
set(chart_data ${PROJECT_SOURCE_DIR}/tests/data/tabular)
set(png_size "od -An -tu1 -j16 -N8 \"$1\"")
add_test(NAME tallytool.chart.packet
         COMMAND sh -c "rm -f \"$1\"; $<TARGET_FILE:tallytool> chart \"$2\" --x QY --y XSE --png \"$1\" --size 640x400; echo status $?; ${png_size}"
                 sh ${CMAKE_CURRENT_BINARY_DIR}/chart-packet.png ${chart_data}/sales.xml)
set_tests_properties(tallytool.chart.packet PROPERTIES PASS_REGULAR_EXPRESSION
                     "chart-packet.png: 640x400, 4 points, X QY, Y XSE\nstatus 0\n *0 +0 +2 +128 +0 +0 +1 +144")
add_test(NAME tallytool.chart.request
         COMMAND sh -c "rm -f \"$1\"; $<TARGET_FILE:tallytool> chart \"$2\" --x QY --y BS --png \"$1\"; echo status $?; ${png_size}"
                 sh ${CMAKE_CURRENT_BINARY_DIR}/chart-request.png ${chart_data}/sales-request.body)
set_tests_properties(tallytool.chart.request PROPERTIES PASS_REGULAR_EXPRESSION
                     "800x500, 4 points, X QY, Y BS\nstatus 0\n *0 +0 +3 +32 +0 +0 +1 +244")
# Each failure is one line on stderr and nothing is written.
function(chart_tool_failure name file expected)
  add_test(NAME tallytool.chart.${name}
           COMMAND sh -c "$<TARGET_FILE:tallytool> chart \"$@\" 2>&1; echo status $?; test -e out.png && echo written"
                   sh ${chart_data}/${file} ${ARGN})
  set_tests_properties(tallytool.chart.${name} PROPERTIES PASS_REGULAR_EXPRESSION "^${expected}$"
                       WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
endfunction()
chart_tool_failure(x_not_offered sales.xml
                   "tallytool chart: [^\n]*sales.xml: field \"BS\" is not offered for the X axis\nstatus 2\n"
                   --x BS --y XSE --png out.png)
chart_tool_failure(y_not_offered sales.xml
                   "tallytool chart: [^\n]*sales.xml: field \"JS\" is not offered for the Y axis\nstatus 2\n"
                   --x QY --y JS --png out.png)
chart_tool_failure(other_document order-request.json
                   "tallytool chart: [^\n]*: djlx \"1\" is not the generic list \\(\"0\"\\)\nstatus 2\n"
                   --x QY --y XSE --png out.png)
chart_tool_failure(usage sales.xml "usage: tallytool chart [^\n]*\nstatus 1\n" --x QY --y XSE)
chart_tool_failure(not_a_number sales.xml
                   "tallytool chart: [^\n]*sales.xml: field \"QY\", row 1: \"华东\" is not a number\nstatus 2\n"
                   --x QY --y QY --png out.png)
