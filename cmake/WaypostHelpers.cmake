# Shared CMake helpers for Waypost's libraries and tests.

# Environment every test runs in, whatever the caller's environment holds:
# headless Qt, a fixed locale and time zone, and quiet sanitizers.
set(WAYPOST_TEST_ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen"
    "LC_ALL=C.UTF-8"
    "LANG=C.UTF-8"
    "LANGUAGE="
    "TZ=America/New_York"
    "QT_LOGGING_RULES=qt.qpa.*=false"
    "XDG_RUNTIME_DIR=${CMAKE_BINARY_DIR}/test-runtime"
    "XDG_CONFIG_HOME=${CMAKE_BINARY_DIR}/test-config"
    "ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1"
    "LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0"
    "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
    "WAYPOST_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
    "WAYPOST_DATA_DIR=${WAYPOST_DATA_BUILD_DIR}")
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/test-runtime)

# waypost_library(<name> SOURCES ... [LIBS ...] [PRIVATE_LIBS ...])
# One library target per subsystem folder, named waypost_<name>.
# LIBS are part of the library's interface; PRIVATE_LIBS (such as GDAL behind
# the shapefile writer) do not reach the targets that link it.
function(waypost_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;PRIVATE_LIBS" ${ARGN})
  add_library(waypost_${name} STATIC ${ARG_SOURCES})
  target_include_directories(waypost_${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(waypost_${name} PUBLIC ${ARG_LIBS} PRIVATE ${ARG_PRIVATE_LIBS})
endfunction()

# waypost_gtest(<name> SOURCES ... [LIBS ...])  - a GoogleTest program under CTest.
function(waypost_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE WAYPOST_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  # Test rows name only the fields they are about (designated initializers).
  target_compile_options(${name} PRIVATE -Wno-missing-field-initializers)
  # One CTest test per program: the environment list cannot pass through
  # gtest_discover_tests, and the programs are quick to run whole.
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${WAYPOST_TEST_ENVIRONMENT}" TIMEOUT 300)
endfunction()

# waypost_qtest(<name> SOURCES ... [LIBS ...])  - a Qt Test program under CTest.
function(waypost_qtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} Qt6::Test)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE WAYPOST_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  # Test rows name only the fields they are about (designated initializers).
  target_compile_options(${name} PRIVATE -Wno-missing-field-initializers)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${WAYPOST_TEST_ENVIRONMENT}" TIMEOUT 300)
endfunction()
