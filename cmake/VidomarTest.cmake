# vidomar_add_test(NAME [RUNS_ENCODER] LABEL label SOURCES ... LIBS ...)
# One Qt Test executable registered with CTest; GUI suites run on the offscreen platform.
# RUNS_ENCODER: the suite starts processes named "avformat.dll". Cancelling a conversion stops
# every such process of the user, so these suites never run at the same time.
function(vidomar_add_test name)
  cmake_parse_arguments(T "RUNS_ENCODER" "LABEL;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test ${T_LIBS})
  add_test(NAME ${name} COMMAND ${name})
  if(NOT T_LABEL)
    set(T_LABEL unit)
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES LABELS ${T_LABEL} TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;VIDOMAR_BIN_DIR=${CMAKE_RUNTIME_OUTPUT_DIRECTORY}")
  if(T_RUNS_ENCODER)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK encoder_processes)
  endif()
endfunction()
