# Helpers shared by the folder CMakeLists files.
set(CORVAN_LIBRARIES "" CACHE INTERNAL "")
set(CORVAN_EXTERNAL_LIBS "" CACHE INTERNAL "")

# corvan_library(): the folder's static library corvan_<folder> from every .cpp/.c below it.
# The subsystems under src/ include each other as "folder/file.h"; the task-free libraries under lib/ see only
# lib/ and the basic types of include/ (tests/layout checks the direction of every include).
function(corvan_library)
  get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.c)
  set(target corvan_${folder})
  add_library(${target} STATIC ${sources})
  get_filename_component(root ${CMAKE_CURRENT_SOURCE_DIR} DIRECTORY)
  if(root STREQUAL "${CMAKE_SOURCE_DIR}/lib")
    target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR}/lib ${CMAKE_SOURCE_DIR}/include)
  else()
    target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/lib
                                                ${CMAKE_SOURCE_DIR}/include)
  endif()
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

# corvan_test([TEST_ENVIRONMENT]): the folder's test program test_<folder> from every .cpp in it and the shared
# main (tests/support/test_main.cpp); one CTest entry per test. Helpers shared by several programs live in tests/support; TEST_ENVIRONMENT adds its per-process data
# directory and the child-process runner of the unit.
function(corvan_test)
  cmake_parse_arguments(arg "TEST_ENVIRONMENT" "" "" ${ARGN})
  get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  list(APPEND sources ${CMAKE_SOURCE_DIR}/tests/support/test_main.cpp)
  if(arg_TEST_ENVIRONMENT)
    list(APPEND sources ${CMAKE_SOURCE_DIR}/tests/support/test_environment.cpp
                        ${CMAKE_SOURCE_DIR}/tests/support/unit_process.cpp)
  endif()
  set(target test_${folder})
  add_executable(${target} ${sources})
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support)
  target_link_libraries(${target} PRIVATE corvan_all GTest::gtest GTest::gmock)
  target_compile_definitions(${target} PRIVATE CORVAN_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data"
                                               CORVAN_BINARY="$<TARGET_FILE:corvan>")
  add_dependencies(${target} corvan)
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST
                       PROPERTIES ENVIRONMENT "TZ=UTC" TIMEOUT 300 LABELS ${folder})
endfunction()

function(corvan_add_test_folders root)
  file(GLOB children LIST_DIRECTORIES true ${root}/*)
  foreach(child ${children})
    if(IS_DIRECTORY ${child} AND EXISTS ${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()
