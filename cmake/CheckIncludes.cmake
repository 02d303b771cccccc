# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when one of FILES includes what its layer must not: each of FORBID is a
# regular expression matched against the text after "#include". Run by the build
# (q60_layer in the top-level CMakeLists.txt) whenever one of the files changes.
string(REPLACE "," ";" files "${FILES}")
string(REPLACE "," ";" forbidden "${FORBID}")
set(wrong "")
foreach(file IN LISTS files)
  file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*" "" target "${line}")
    foreach(pattern IN LISTS forbidden)
      if(target MATCHES "${pattern}")
        string(APPEND wrong "\n  ${file}: #include ${target}")
      endif()
    endforeach()
  endforeach()
endforeach()
if(wrong)
  message(FATAL_ERROR "${LAYER} includes what lies above it:${wrong}")
endif()
file(TOUCH "${STAMP}")
