# The background runner: no Qt, so it builds and is tested headless too.
add_library(lumivane_runner STATIC ${CMAKE_CURRENT_SOURCE_DIR}/ThdComp.cpp)
target_include_directories(lumivane_runner PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
find_package(Threads REQUIRED)
target_link_libraries(lumivane_runner PUBLIC Threads::Threads)
lumivane_warnings(lumivane_runner)
set_target_properties(lumivane_runner PROPERTIES AUTOMOC OFF)
