# Flags shared by every target of the project.
add_library(brewbeacon_options INTERFACE)
target_compile_options(brewbeacon_options INTERFACE -Wall -Wextra -Wpedantic)
if(BREWBEACON_WERROR)
  target_compile_options(brewbeacon_options INTERFACE -Werror)
endif()
target_compile_definitions(brewbeacon_options INTERFACE
  QT_NO_KEYWORDS
  QT_NO_CAST_FROM_ASCII
  QT_NO_URL_CAST_FROM_STRING
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_NO_CAST_TO_ASCII)
