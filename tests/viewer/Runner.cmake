# Tests of the background runner (no Qt).
add_executable(lumivane_runner_tests ${CMAKE_CURRENT_SOURCE_DIR}/app/ThdCompTest.cpp)
target_include_directories(lumivane_runner_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/app)
target_link_libraries(lumivane_runner_tests PRIVATE lumivane_runner GTest::gtest_main)
lumivane_warnings(lumivane_runner_tests)
gtest_discover_tests(lumivane_runner_tests PROPERTIES TIMEOUT 60)
set_target_properties(lumivane_runner_tests PROPERTIES AUTOMOC OFF)
