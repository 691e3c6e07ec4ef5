# Project-wide warning set; CI turns CORVANE_WERROR on.
function(corvane_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                                             -Wold-style-cast -Wcast-align -Woverloaded-virtual
                                             -Wimplicit-fallthrough)
    if(CORVANE_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
