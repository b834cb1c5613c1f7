# Warnings every target of ours builds clean with.
function(pixtrel_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 /permissive- /utf-8)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-missing-field-initializers)
  endif()
endfunction()

# The wide-character entry points (wWinMain, wmain) need -municode with MinGW.
function(pixtrel_unicode_entry target)
  if(MINGW)
    target_link_options(${target} PRIVATE -municode)
  endif()
endfunction()
