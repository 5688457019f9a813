# quorval_test(NAME SOURCES... LIBS ...)
# One test program per call, registered with ctest as one test: a Windows
# program then costs a single Wine start, whatever its number of cases.
function(quorval_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  if(WIN32)
    target_link_libraries(${name} PRIVATE ${T_LIBS} gtest gtest_main)
    set(label windows)
  else()
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
    set(label native)
  endif()
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES LABELS "${label};${T_LABELS}" TIMEOUT 600)
endfunction()

# quorval_simulator_test(TARGET [TIMEOUT seconds])
# Registers a Windows test program that sends to the gateway simulator:
# with_simulator.sh starts the native simulator around its Wine run.
function(quorval_simulator_test target)
  cmake_parse_arguments(T "" "TIMEOUT" "" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 600)
  endif()
  add_test(NAME ${target}
           COMMAND bash ${CMAKE_SOURCE_DIR}/tests/gateway/with_simulator.sh
                   ${NATIVE_BUILD_DIR}/tools/gateway_sim/gateway_sim
                   ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh
                   $<TARGET_FILE:${target}> --gtest_brief=1)
  set_tests_properties(${target} PROPERTIES LABELS windows TIMEOUT ${T_TIMEOUT})
endfunction()
