# One static library per subsystem folder: every .cpp/.h in it, picked up when files are added.
function(k740_subsystem name)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    if(NOT sources)
        # A subsystem that holds no code yet still links, so its users need not change.
        add_library(k740_${name} INTERFACE)
        target_include_directories(k740_${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
        target_link_libraries(k740_${name} INTERFACE ${ARG_DEPS})
        return()
    endif()
    add_library(k740_${name} STATIC ${sources})
    target_include_directories(k740_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(k740_${name} PUBLIC ${ARG_DEPS})
endfunction()

# One GoogleTest executable per test folder; every test in it is registered with CTest.
function(k740_tests name)
    cmake_parse_arguments(ARG "" "" "LIBS;LABELS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    if(NOT sources)
        return()
    endif()
    add_executable(test_${name} ${sources})
    target_include_directories(test_${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    target_link_libraries(test_${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
    # Tests that load the stand-in libraries find them beside the program under test.
    set_target_properties(test_${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${K740_BIN_DIR})
    if(NOT ARG_LABELS)
        set(ARG_LABELS unit)
    endif()
    # Widgets need no display: the offscreen platform stands in for one.
    gtest_discover_tests(test_${name} DISCOVERY_TIMEOUT 60
        PROPERTIES LABELS "${ARG_LABELS}" TIMEOUT 300 ENVIRONMENT QT_QPA_PLATFORM=offscreen)
endfunction()
