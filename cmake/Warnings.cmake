# One interface target carries the warning set for every target of the project.
add_library(vantrix_warnings INTERFACE)
target_compile_options(vantrix_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor)
if(VANTRIX_WERROR)
  target_compile_options(vantrix_warnings INTERFACE -Werror)
endif()
