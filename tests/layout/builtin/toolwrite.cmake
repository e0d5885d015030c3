# `tallytool layout write NAME FILE` must give the embedded stream of every
# built-in layout byte for byte, and `layout dump NAME` must succeed.
foreach(name IN LISTS NAMES)
  set(out ${WORK_DIR}/${name}.lay)
  execute_process(COMMAND ${TOOL} layout write ${name} ${out} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "layout write ${name} failed: ${rc}")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${out} ${STREAM_DIR}/${name}.lay
                  RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "layout write ${name} differs from the embedded stream")
  endif()
  execute_process(COMMAND ${TOOL} layout dump ${name} RESULT_VARIABLE rc OUTPUT_QUIET)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "layout dump ${name} failed: ${rc}")
  endif()
endforeach()
execute_process(COMMAND ${TOOL} layout write NoSuchLayout ${WORK_DIR}/none.lay
                RESULT_VARIABLE rc ERROR_QUIET)
if(NOT rc EQUAL 2)
  message(FATAL_ERROR "layout write of an unknown name gave ${rc}, not 2")
endif()
