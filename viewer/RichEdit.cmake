# The rich-text view (Qt): shows the reader's document model directly, and
# saves and copies it through the RTF writer.
add_library(lumivane_view STATIC
  ${CMAKE_CURRENT_LIST_DIR}/RichEdit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RichEdit.h
  ${CMAKE_CURRENT_LIST_DIR}/SelectionMimeData.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SelectionMimeData.h
  ${CMAKE_CURRENT_LIST_DIR}/SourceViewAccessible.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SourceViewAccessible.h
  ${CMAKE_CURRENT_LIST_DIR}/SourceViewDocument.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SourceViewDocument.h
  ${CMAKE_CURRENT_LIST_DIR}/SourceViewInput.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SourceViewLayout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SourceViewLayout.h
)
target_include_directories(lumivane_view PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(lumivane_view PUBLIC Qt6::Widgets lumivane_viewer_text)
lumivane_warnings(lumivane_view)
