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
    cmake_parse_arguments(ARG "" "" "LIBS;LABELS;LOCKS" ${ARGN})
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
    # LOCKS: shared things (the sound server's null sink) that tests of several programs must not
    # use at the same time.
    set(properties LABELS "${ARG_LABELS}" TIMEOUT 300 ENVIRONMENT QT_QPA_PLATFORM=offscreen)
    if(ARG_LOCKS)
        list(APPEND properties RESOURCE_LOCK "${ARG_LOCKS}")
    endif()
    gtest_discover_tests(test_${name} DISCOVERY_TIMEOUT 60 PROPERTIES ${properties})
endfunction()

# The installed program keeps everything it loads or reads by name in its own folder, as in the
# build tree: the program, the stand-in libraries, helper programs, data files and (through a
# link) the manual.
set(K740_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/k740rx)

# Installs into the program's folder: TARGETS (programs and libraries) and FILES (data, also files
# generated at build time). The TARGETS and the BUILT_BY targets (those that generate FILES) must
# be built before the installation test runs.
function(k740_install_beside_program)
    cmake_parse_arguments(ARG "" "" "TARGETS;FILES;BUILT_BY" ${ARGN})
    if(ARG_TARGETS)
        install(TARGETS ${ARG_TARGETS}
            RUNTIME DESTINATION ${K740_INSTALL_DIR}
            LIBRARY DESTINATION ${K740_INSTALL_DIR})
    endif()
    if(ARG_FILES)
        install(FILES ${ARG_FILES} DESTINATION ${K740_INSTALL_DIR})
    endif()
    set_property(GLOBAL APPEND PROPERTY K740_INSTALLED_TARGETS ${ARG_TARGETS} ${ARG_BUILT_BY})
endfunction()

# A data file that a tool of ours makes at build time (the tool takes the file's path), put beside
# the program and installed with it.
function(k740_generate_beside_program target)
    cmake_parse_arguments(ARG "" "TOOL;SOURCE;OUTPUT" "LIBS" ${ARGN})
    add_executable(${ARG_TOOL} ${ARG_SOURCE})
    target_link_libraries(${ARG_TOOL} PRIVATE ${ARG_LIBS})
    set_target_properties(${ARG_TOOL} PROPERTIES
        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR} AUTOMOC OFF)
    set(file ${K740_BIN_DIR}/${ARG_OUTPUT})
    add_custom_command(OUTPUT ${file}
        COMMAND ${ARG_TOOL} ${file}
        DEPENDS ${ARG_TOOL}
        COMMENT "Generating ${ARG_OUTPUT}")
    add_custom_target(${target} ALL DEPENDS ${file})
    k740_install_beside_program(FILES ${file} BUILT_BY ${target})
endfunction()

# A relative symbolic link <prefix>/<dir>/<name> to <prefix>/<target>, made at installation. Both
# paths are relative to the prefix, which is only known then.
function(k740_install_link dir name target)
    file(RELATIVE_PATH relative /prefix/${dir} /prefix/${target})
    install(CODE "
        set(dir \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${dir}\")
        file(MAKE_DIRECTORY \"\${dir}\")
        message(STATUS \"Installing: \${dir}/${name}\")
        file(CREATE_LINK \"${relative}\" \"\${dir}/${name}\" SYMBOLIC)
    ")
endfunction()

# <prefix>/bin/<program> as a link into the program's folder. The program still finds its folder:
# Qt takes the program's path from the kernel, which resolves the link.
function(k740_install_launcher target)
    set(name $<TARGET_FILE_NAME:${target}>)
    k740_install_link(${CMAKE_INSTALL_BINDIR} ${name} ${K740_INSTALL_DIR}/${name})
endfunction()

# The HTML manual goes where the system keeps documentation; the program opens it through a link
# in its own folder.
set(K740_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/k740rx)
function(k740_install_manual source_dir)
    install(DIRECTORY ${source_dir}/ DESTINATION ${K740_DOC_DIR}/html)
    get_filename_component(name ${source_dir} NAME)
    k740_install_link(${K740_INSTALL_DIR} ${name} ${K740_DOC_DIR}/html)
endfunction()
