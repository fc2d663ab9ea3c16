# Line editing, history and completion at a terminal come from libedit
# (BSD licence, Debian package libedit-dev). Included on POSIX hosts only;
# elsewhere the shell reads every line with the plain line input.
find_path(LIBEDIT_INCLUDE_DIR editline/readline.h)
find_library(LIBEDIT_LIBRARY edit)
if(NOT LIBEDIT_INCLUDE_DIR OR NOT LIBEDIT_LIBRARY)
  message(FATAL_ERROR
    "libedit was not found: orva needs it for line editing at a terminal. "
    "Install the Debian package libedit-dev (apt-get install libedit-dev).")
endif()
target_sources(orva_shell PRIVATE lineedit.cpp)
target_include_directories(orva_shell PRIVATE ${LIBEDIT_INCLUDE_DIR})
target_link_libraries(orva_shell PUBLIC ${LIBEDIT_LIBRARY})
target_compile_definitions(orva_shell PUBLIC ORVA_LINE_EDITING=1)
