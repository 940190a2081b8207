# Helpers shared by the folder CMakeLists files.
set(CORVAN_LIBRARIES "" CACHE INTERNAL "")
set(CORVAN_EXTERNAL_LIBS "" CACHE INTERNAL "")

# corvan_library(): the folder's static library corvan_<folder> from every .cpp/.c below it.
function(corvan_library)
  get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.c)
  set(target corvan_${folder})
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/lib)
  target_link_libraries(${target} PUBLIC Threads::Threads)
  set(CORVAN_LIBRARIES ${CORVAN_LIBRARIES} ${target} CACHE INTERNAL "")
endfunction()

# corvan_external(libs...): system libraries the whole program links.
function(corvan_external)
  set(CORVAN_EXTERNAL_LIBS ${CORVAN_EXTERNAL_LIBS} ${ARGN} CACHE INTERNAL "")
endfunction()

function(corvan_add_folders root)
  file(GLOB children LIST_DIRECTORIES true ${root}/*)
  foreach(child ${children})
    if(IS_DIRECTORY ${child} AND EXISTS ${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()

# corvan_test(): the folder's test program test_<folder> from every .cpp in it; one CTest entry per test.
function(corvan_test)
  get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  set(target test_${folder})
  add_executable(${target} ${sources})
  target_link_libraries(${target} PRIVATE corvan_all GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${target} PRIVATE CORVAN_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data"
                                               CORVAN_BINARY="$<TARGET_FILE:corvan>")
  add_dependencies(${target} corvan)
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST
                       PROPERTIES ENVIRONMENT "TZ=UTC" TIMEOUT 300)
endfunction()

function(corvan_add_test_folders root)
  file(GLOB children LIST_DIRECTORIES true ${root}/*)
  foreach(child ${children})
    if(IS_DIRECTORY ${child} AND EXISTS ${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()
