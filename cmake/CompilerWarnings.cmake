# Warnings every target of ours builds with; third-party headers come in as
# system includes, so only our own code has to be clean.
function(xyh_set_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align
    -Woverloaded-virtual -Wformat=2 -Wimplicit-fallthrough)
endfunction()
