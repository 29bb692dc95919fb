# Sanitizers apply to the whole build, libraries and tests alike, so that a
# fault inside a library is caught by the test that drives it.
if(ZOCUT_SANITIZE)
  set(_san "-fsanitize=${ZOCUT_SANITIZE}" -fno-omit-frame-pointer -g)
  if(ZOCUT_SANITIZE MATCHES "undefined")
    list(APPEND _san -fno-sanitize-recover=undefined)
  endif()
  add_compile_options(${_san})
  add_link_options("-fsanitize=${ZOCUT_SANITIZE}")
endif()
