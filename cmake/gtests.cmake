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
