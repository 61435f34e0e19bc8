# Applied to every target of the tree, so the core, the tests and the fuzzers agree on the runtime.
if(TRACKWRIGHT_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
