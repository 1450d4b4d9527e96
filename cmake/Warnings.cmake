# Warnings apply to our own targets only, and fail the build; vendored code
# keeps its own settings.
function(tarvex_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wnon-virtual-dtor -Werror)
endfunction()
