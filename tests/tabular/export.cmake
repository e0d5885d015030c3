tally_test(test_tabular_export tableexport_test.cpp)
target_link_libraries(test_tabular_export PRIVATE tally_tabular_export tally_datapacket)

# Real readers (xlrd, openpyxl; Debian packages of the system Python) read
# what `tallytool export` writes from a print request of type "0", posted
# plain or URL-encoded.
find_program(TALLY_SYSTEM_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
set(export_data ${PROJECT_SOURCE_DIR}/tests/data/tabular/export)
set(export_out ${CMAKE_CURRENT_BINARY_DIR})
add_test(NAME tallytool.export.xlrd
         COMMAND sh -c "\"$1\" export \"$2\" --xls \"$3\" && \"$4\" \"$5\" \"$3\"" sh
                 $<TARGET_FILE:tallytool> ${export_data}/list-request.json ${export_out}/list.xls
                 ${TALLY_SYSTEM_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/check_xls.py)
add_test(NAME tallytool.export.openpyxl
         COMMAND sh -c "\"$1\" export \"$2\" --xlsx \"$3\" && \"$4\" \"$5\" \"$3\"" sh
                 $<TARGET_FILE:tallytool> ${export_data}/list-request.body ${export_out}/list.xlsx
                 ${TALLY_SYSTEM_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/check_xlsx.py)
# The text export of a bare packet is the golden text file.
add_test(NAME tallytool.export.text
         COMMAND sh -c "\"$1\" export \"$2\" --text \"$3\" && cmp \"$3\" \"$4\"" sh
                 $<TARGET_FILE:tallytool> ${export_data}/list.xml ${export_out}/list.txt
                 ${export_data}/list.txt)
# A packet that does not load: one error line, status 2, no file.
add_test(NAME tallytool.export.badpacket
         COMMAND sh -c "rm -f \"$3\"; \"$1\" export \"$2\" --xls \"$3\" 2>&1; echo status $?; test -e \"$3\" && echo file left; true" sh
                 $<TARGET_FILE:tallytool> ${PROJECT_SOURCE_DIR}/tests/data/datapacket/bad-integer.xml
                 ${export_out}/bad.xls)
set_tests_properties(tallytool.export.badpacket PROPERTIES PASS_REGULAR_EXPRESSION
                     "^tallytool export: [^\n]*bad-integer.xml: [^\n]*offset 186[^\n]*\nstatus 2\n$")
