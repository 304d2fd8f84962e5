# GUI tests of the rich-text view, offscreen.
add_executable(viewer_richedit_tests
  ${CMAKE_CURRENT_LIST_DIR}/richedit/main.cpp
  ${CMAKE_CURRENT_LIST_DIR}/richedit/RichEditTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/richedit/SourceViewAccessibleTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/richedit/SourceViewTest.cpp
)
target_link_libraries(viewer_richedit_tests PRIVATE lumivane_view Qt6::Test GTest::gtest)
lumivane_warnings(viewer_richedit_tests)
gtest_discover_tests(viewer_richedit_tests TEST_PREFIX viewer.richedit.
  PROPERTIES LABELS viewer ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
  DISCOVERY_TIMEOUT 30)
