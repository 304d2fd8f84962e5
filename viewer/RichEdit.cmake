# The rich-text view (Qt): builds QTextDocuments from the reader's model and
# writes them back through the RTF writer.
add_library(lumivane_view STATIC
  ${CMAKE_CURRENT_LIST_DIR}/DocumentDisposer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DocumentDisposer.h
  ${CMAKE_CURRENT_LIST_DIR}/RichEdit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RichEdit.h
  ${CMAKE_CURRENT_LIST_DIR}/RtfQtDocument.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RtfQtDocument.h
  ${CMAKE_CURRENT_LIST_DIR}/SelectionMimeData.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SelectionMimeData.h
)
target_include_directories(lumivane_view PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(lumivane_view PUBLIC Qt6::Widgets lumivane_viewer_text)
lumivane_warnings(lumivane_view)
