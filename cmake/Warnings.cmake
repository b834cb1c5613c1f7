# Warnings every target of ours builds clean with.
function(pixtrel_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-missing-field-initializers)
endfunction()
