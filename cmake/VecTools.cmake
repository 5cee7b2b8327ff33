# Build helpers shared by every subsystem.

find_program(FLEX_EXECUTABLE flex REQUIRED)
find_program(BYACC_EXECUTABLE byacc REQUIRED)

# Warnings for our own sources.  Generated scanners and parsers are compiled
# without them (see vectools_reader below).
option(VECTOOLS_WERROR "Treat warnings as errors" ON)
set(VECTOOLS_WARNINGS -Wall -Wextra)
if(VECTOOLS_WERROR)
  list(APPEND VECTOOLS_WARNINGS -Werror)
endif()

# vectools_warnings(TARGET): the warning flags for a target of our own sources.
function(vectools_warnings target)
  target_compile_options(${target} PRIVATE ${VECTOOLS_WARNINGS})
endfunction()

# vectools_reader(OUT_VAR PREFIX SCANNER GRAMMAR)
#   Generates PREFIX_scan.cpp from SCANNER with flex and PREFIX_gram.cpp /
#   PREFIX_gram.h from GRAMMAR with byacc (classic yacc error recovery).
#   The scanner gets full tables (-Cf, the fastest scanning) and 8-bit
#   tables (-8): with full tables flex otherwise assumes 7-bit input, and a
#   byte above 0x7F would index past the tables.  The generated files live
#   in the build tree only; their paths are returned in OUT_VAR.
function(vectools_reader out_var prefix scanner grammar)
  set(gen ${CMAKE_CURRENT_BINARY_DIR})
  set(scan_cpp ${gen}/${prefix}_scan.cpp)
  set(gram_cpp ${gen}/${prefix}_gram.cpp)
  set(gram_h ${gen}/${prefix}_gram.h)
  add_custom_command(
    OUTPUT ${gram_cpp} ${gram_h}
    COMMAND ${BYACC_EXECUTABLE} -l -o ${gram_cpp} -H ${gram_h}
            ${CMAKE_CURRENT_SOURCE_DIR}/${grammar}
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${grammar}
    COMMENT "byacc ${grammar}")
  add_custom_command(
    OUTPUT ${scan_cpp}
    COMMAND ${FLEX_EXECUTABLE} -8 -Cf -o ${scan_cpp}
            ${CMAKE_CURRENT_SOURCE_DIR}/${scanner}
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${scanner} ${gram_h}
    COMMENT "flex ${scanner}")
  set_source_files_properties(${scan_cpp} ${gram_cpp} PROPERTIES
    COMPILE_OPTIONS "-w")
  set(${out_var} ${scan_cpp} ${gram_cpp} PARENT_SCOPE)
endfunction()
