# The direct libxlsxwriter run needs the library itself.
pkg_check_modules(XLSXWRITER REQUIRED IMPORTED_TARGET xlsxwriter)
add_executable(bench_tabular_export export_bench.cpp)
tally_setup_target(bench_tabular_export)
target_link_libraries(bench_tabular_export PRIVATE tally_tabular_export tally_datapacket
                      PkgConfig::XLSXWRITER benchmark::benchmark)
