# Warnings apply to our own targets only; vendored code keeps its own.
function(tarvex_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wnon-virtual-dtor)
endfunction()
