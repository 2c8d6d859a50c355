# One interface target carries what every target of the project is built with: the language
# standard, the warning set and Qt's strict string macros. Every library, program, test,
# benchmark and fuzz target links it privately.
add_library(vantrix_build_options INTERFACE)
target_compile_features(vantrix_build_options INTERFACE cxx_std_20)
target_compile_options(vantrix_build_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor)
if(VANTRIX_WERROR)
  target_compile_options(vantrix_build_options INTERFACE -Werror)
endif()
# Texts reach Qt only through explicit conversions (the program's bytes are not always UTF-8),
# and string concatenation builds once. The macros are inert where no Qt header is included.
target_compile_definitions(vantrix_build_options INTERFACE
  QT_NO_CAST_FROM_ASCII
  QT_NO_CAST_TO_ASCII
  QT_NO_CAST_FROM_BYTEARRAY
  QT_NO_URL_CAST_FROM_STRING
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_NO_FOREACH
  QT_USE_QSTRINGBUILDER
)
# lld links the many test programs (each holds the window's library) several times faster than
# the default linker; without it the default is used.
find_program(VANTRIX_LLD NAMES ld.lld)
if(VANTRIX_LLD)
  target_link_options(vantrix_build_options INTERFACE -fuse-ld=lld)
endif()
