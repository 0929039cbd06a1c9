# Strict warnings for the project's own targets; CI turns them into errors.
option(PLATTER_WERROR "Treat warnings as errors" OFF)

function(platter_warnings target)
    target_compile_options(${target} PRIVATE
        -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
        -Wnon-virtual-dtor -Woverloaded-virtual -Wold-style-cast -Wcast-align
        -Wnull-dereference -Wdouble-promotion -Wformat=2 -Wimplicit-fallthrough)
    if(PLATTER_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
