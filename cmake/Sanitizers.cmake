# SANITIZE=address,undefined (or thread) builds every target with those checks; errors halt.
if(VANTRIX_SANITIZE)
  add_compile_options(-fsanitize=${VANTRIX_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${VANTRIX_SANITIZE})
endif()
