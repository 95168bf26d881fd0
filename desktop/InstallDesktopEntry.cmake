# Writes the desktop entry at install time, when the prefix is known: the program lives in
# the application folder (the prefix), so Exec names it by its absolute path.
#   MX_DESKTOP_TEMPLATE  the .desktop.in file
#   MX_APP_DIR           the installed application folder
#   MX_DESKTOP_FILE      where the entry goes (DESTDIR already applied)
set(program "${MX_APP_DIR}/mxreader")

# Exec takes a quoted argument: inside quotes ", `, $ and \ are escaped with a backslash,
# and every backslash of the result is doubled once more by the string escaping of the
# file; % is written %%.
string(REPLACE "\\" "\\\\\\\\" quoted "${program}")
string(REPLACE "\"" "\\\\\"" quoted "${quoted}")
string(REPLACE "`" "\\\\`" quoted "${quoted}")
string(REPLACE "$" "\\\\$" quoted "${quoted}")
string(REPLACE "%" "%%" quoted "${quoted}")
set(MX_DESKTOP_EXEC "\"${quoted}\"")
# TryExec is a plain string: only the backslash is escaped.
string(REPLACE "\\" "\\\\" MX_DESKTOP_TRYEXEC "${program}")

configure_file("${MX_DESKTOP_TEMPLATE}" "${MX_DESKTOP_FILE}" @ONLY)
message(STATUS "Installing: ${MX_DESKTOP_FILE}")
