# Every target of our own builds with these; Qt's headers come in as system
# headers through the imported targets, so their warnings stay out.
function(zocut_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic
    -Wno-missing-field-initializers)
endfunction()
