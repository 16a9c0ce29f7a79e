# Warnings are errors on every compiler we build with.
add_compile_options(-Wall -Wextra -Werror)

if(QUILLET_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# The sources of the module and the host include from these roots.
set(QUILLET_SOURCE_ROOT ${PROJECT_SOURCE_DIR}/src)
set(QUILLET_INCLUDE_ROOT ${PROJECT_SOURCE_DIR}/include)
