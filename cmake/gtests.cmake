include(GoogleTest)

option(CORVANE_CTEST_PER_CASE
    "Register every test case with CTest (off: each fast test program runs as a few shards)" ON)

# A test program of fast, independent cases. Per case, ctest -R picks any one
# out; as shards, the run skips the thousand process start-ups, which is most
# of what these programs cost.
function(corvane_add_gtests target label)
    if(CORVANE_CTEST_PER_CASE)
        gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS ${label})
        return()
    endif()
    set(shards 4)
    math(EXPR last "${shards} - 1")
    foreach(shard RANGE ${last})
        add_test(NAME ${target}.shard${shard} COMMAND ${target} --gtest_brief=1)
        set_tests_properties(${target}.shard${shard} PROPERTIES LABELS ${label}
            ENVIRONMENT "GTEST_TOTAL_SHARDS=${shards};GTEST_SHARD_INDEX=${shard}")
    endforeach()
endfunction()

option(CORVANE_UNITY_TESTS
    "Compile the test programs a few files at a time (faster whole builds, slower edits of one test)" OFF)

# How a test program is compiled. Test code is not worth optimising: at -O0 a
# GoogleTest file compiles in half the time, and the code under test keeps the
# build's optimisation in its own libraries. Compiled eight files at a time,
# GoogleTest's headers and templates are parsed and instantiated once for
# eight: a third of the time again, which is what a whole build (CI) wants.
function(corvane_test_build target)
    if(NOT CMAKE_BUILD_TYPE STREQUAL "Debug")
        target_compile_options(${target} PRIVATE -O0)
    endif()
    if(CORVANE_UNITY_TESTS)
        set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 8)
    endif()
endfunction()
