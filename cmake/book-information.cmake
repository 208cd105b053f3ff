# What the packages and the Windows version resource say about the program,
# from the book's [information] table (book/data/book.toml) and the version
# the details screen shows (screens/builtin_screens.cpp):
#
#   LANTHORN_PRODUCT  the book's title      LANTHORN_COMPANY  its author
#   LANTHORN_SUPPORT  its support address   LANTHORN_RIGHTS   its rights line
#   LANTHORN_VERSION  "major.minor", and LANTHORN_VERSION_MAJOR / _MINOR
#
# bookc checks the book properly; this reads the table's plain one-line
# strings, which is all [information] holds, and stops on anything else.

set(book_toml ${PROJECT_SOURCE_DIR}/book/data/book.toml)
file(STRINGS ${book_toml} book_lines)
set(in_information FALSE)
foreach(line IN LISTS book_lines)
  if(line MATCHES "^[ \t]*\\[")
    string(STRIP "${line}" header)
    if(header STREQUAL "[information]")
      set(in_information TRUE)
    else()
      set(in_information FALSE)
    endif()
  elseif(in_information AND line MATCHES "^[ \t]*([a-z_]+)[ \t]*=[ \t]*\"([^\"\\\\]*)\"[ \t]*(#.*)?$")
    set(book_information_${CMAKE_MATCH_1} "${CMAKE_MATCH_2}")
  endif()
endforeach()
foreach(key title author support rights)
  if(NOT DEFINED book_information_${key} OR book_information_${key} STREQUAL "")
    message(FATAL_ERROR "${book_toml}: [information] needs a plain one-line string ${key}")
  endif()
endforeach()
set(LANTHORN_PRODUCT "${book_information_title}")
set(LANTHORN_COMPANY "${book_information_author}")
set(LANTHORN_SUPPORT "${book_information_support}")
set(LANTHORN_RIGHTS "${book_information_rights}")

file(STRINGS ${PROJECT_SOURCE_DIR}/screens/builtin_screens.cpp version_line
     REGEX "kVersion = \"[0-9]+\\.[0-9]+\";")
if(NOT version_line MATCHES "\"([0-9]+)\\.([0-9]+)\"")
  message(FATAL_ERROR "screens/builtin_screens.cpp: no kVersion = \"major.minor\" found")
endif()
set(LANTHORN_VERSION_MAJOR ${CMAKE_MATCH_1})
set(LANTHORN_VERSION_MINOR ${CMAKE_MATCH_2})
set(LANTHORN_VERSION ${LANTHORN_VERSION_MAJOR}.${LANTHORN_VERSION_MINOR})
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${book_toml}
             ${PROJECT_SOURCE_DIR}/screens/builtin_screens.cpp)
