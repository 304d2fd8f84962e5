# Tests of the viewer program, headless on the offscreen platform, and one
# end-to-end run of the real program under Xvfb.
add_executable(lumivane_app_tests
  ${CMAKE_CURRENT_SOURCE_DIR}/app/AboutTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/app/AppTestMain.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/app/ApplicationTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/app/MainWindowTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/app/SearchTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/app/StartupTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/app/StatusBarTest.cpp
)
target_include_directories(lumivane_app_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/app)
target_compile_definitions(lumivane_app_tests PRIVATE
  LUMIVANE_SAMPLE_FILE="${PROJECT_SOURCE_DIR}/samples/Sample.pas")
target_link_libraries(lumivane_app_tests PRIVATE lumivane_viewer Qt6::Test GTest::gtest)
lumivane_warnings(lumivane_app_tests)
gtest_discover_tests(lumivane_app_tests
  PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 120
  DISCOVERY_TIMEOUT 60)

add_test(NAME lumivane_e2e
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/app/e2e_startup.sh $<TARGET_FILE:lumivane>
          ${PROJECT_SOURCE_DIR}/samples/Sample.pas ${CMAKE_CURRENT_BINARY_DIR}/e2e)
set_tests_properties(lumivane_e2e PROPERTIES LABELS e2e TIMEOUT 120)

add_test(NAME lumivane_install
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/app/install_test.sh ${CMAKE_BINARY_DIR})
set_tests_properties(lumivane_install PROPERTIES TIMEOUT 60)
