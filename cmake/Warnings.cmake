# Warnings on for every target of the project; -Werror only where asked, so a newer
# compiler's new warning does not break a user's build.
option(QAVIX_WERROR "Treat warnings as errors" OFF)
add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wconversion-null)
if(QAVIX_WERROR)
  add_compile_options(-Werror)
endif()
