# Flags shared by every target of the project.
add_compile_options(-Wall -Wextra)
if(VEXA_WERROR)
  add_compile_options(-Werror)
endif()
# GCC 12 reports impossible overlaps in inlined std::string code at -O3 (a known false positive
# of that release); keep the warning from other compilers.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  add_compile_options(-Wno-restrict)
endif()
if(VEXA_SANITIZE AND VEXA_TSAN)
  message(FATAL_ERROR "VEXA_SANITIZE and VEXA_TSAN exclude each other: use two build folders")
endif()
if(VEXA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
endif()
if(VEXA_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

# vexa_add_test(NAME SOURCES... LIBS...): one GoogleTest program, its cases registered with CTest.
function(vexa_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES ENVIRONMENT "VEXA_TEST_DATA=${CMAKE_CURRENT_SOURCE_DIR}/data")
endfunction()
