# Windows build flags, before any target exists so that every layer takes them.
enable_language(RC)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")
set(CMAKE_RC_COMPILE_OBJECT
  "<CMAKE_RC_COMPILER> <DEFINES> <INCLUDES> <FLAGS> -O coff -i <SOURCE> -o <OBJECT>")

# UTF-16 views of char16_t text are read through wchar_t pointers (AsWide/AsU16).
add_compile_options(-fno-strict-aliasing)
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00)
# One self-contained exe: C, C++ and winpthreads runtimes linked in.
add_link_options(-static)
# Sanitizers do not run on this target: the standard library checks its own preconditions
# (bounds of operator[], front() of an empty container...) and aborts on a breach instead.
add_compile_definitions(_GLIBCXX_ASSERTIONS)
