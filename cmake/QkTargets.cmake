# Helpers shared by the folders' CMakeLists.

# qk_stage_target(target): the binary goes into the program folder.
function(qk_stage_target target)
  set_target_properties(${target} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${QK_STAGE_DIR}
    LIBRARY_OUTPUT_DIRECTORY ${QK_STAGE_DIR}
    PREFIX "")
  set_property(GLOBAL APPEND PROPERTY QK_STAGE_TARGETS ${target})
endfunction()

# qk_plugin_base(target address): the plug-in's preferred load address. Every plug-in loads
# before the main window shows; an address of its own, below the system libraries, spares the
# loader a relocation of the whole library (the linker's name-derived addresses fall among them).
function(qk_plugin_base target address)
  target_link_options(${target} PRIVATE -Wl,--image-base=${address})
endfunction()

# qk_plain_exports(target): exports keep their undecorated names although they are __stdcall
# (the host binds them by name).
function(qk_plain_exports target)
  target_link_options(${target} PRIVATE -Wl,--kill-at)
endfunction()

# qk_add_test(name SOURCES ... [LIBS ...] [TIMEOUT s]): one GoogleTest executable, run under Wine
# by ctest (the cross-compiling emulator). Tests find the program folder through QK_STAGE_DIR.
function(qk_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE qktestsupport ${T_LIBS} GTest::gtest GTest::gmock)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${QK_TEST_BIN_DIR})
  add_dependencies(${name} qk_stage)
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT} ENVIRONMENT QK_DETACH_OUTPUT=1)
endfunction()
