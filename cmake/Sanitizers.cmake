# Sanitizers apply to the whole build, libraries and tests alike, so that a
# fault inside a library is caught by the test that drives it.
if(ZOCUT_SANITIZE)
  set(_san "-fsanitize=${ZOCUT_SANITIZE}" -fno-omit-frame-pointer -g1)
  set(_link "-fsanitize=${ZOCUT_SANITIZE}")
  if(ZOCUT_SANITIZE MATCHES "undefined")
    # GCC's "undefined" leaves out conversions of doubles that do not fit
    # the integer they are cast to, the main risk of numbers read from files.
    list(APPEND _san -fsanitize=float-cast-overflow -fno-sanitize-recover=undefined,float-cast-overflow)
    set(_link "${_link},float-cast-overflow")
  endif()
  add_compile_options(${_san})
  add_link_options("${_link}")
endif()
