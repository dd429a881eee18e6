# The version and release date come from resources/version.txt alone. This
# reads them, checks their form and writes tavix_version.h into the build
# folder, which the sources, the resource script and the tests include.
set(TAVIX_VERSION_FILE ${CMAKE_SOURCE_DIR}/resources/version.txt)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${TAVIX_VERSION_FILE})

file(STRINGS ${TAVIX_VERSION_FILE} version_line REGEX "^version=")
file(STRINGS ${TAVIX_VERSION_FILE} date_line REGEX "^date=")
string(REGEX REPLACE "^version=" "" TAVIX_VERSION "${version_line}")
string(REGEX REPLACE "^date=" "" TAVIX_DATE "${date_line}")

# The version is major.minor with a two-digit minor (1.06); the version
# resource counts it as 1, 6, 0, 0.
if(NOT TAVIX_VERSION MATCHES "^([1-9][0-9]*)\\.([0-9][0-9])$")
  message(FATAL_ERROR "resources/version.txt: version must look like 1.06, not '${TAVIX_VERSION}'")
endif()
set(TAVIX_VERSION_MAJOR ${CMAKE_MATCH_1})
math(EXPR TAVIX_VERSION_MINOR "${CMAKE_MATCH_2}")  # drops the leading zero

# The date is year/month/day without leading zeros, as the window title shows
# it (2004/7/6). The program keeps it in the form of the compiler's __DATE__
# ("Jul  6 2004": month abbreviation, the day right-aligned in two places,
# year) and turns it back at start-up.
if(NOT TAVIX_DATE MATCHES "^([0-9][0-9][0-9][0-9])/([1-9]|1[0-2])/([1-9]|[12][0-9]|3[01])$")
  message(FATAL_ERROR "resources/version.txt: date must look like 2004/7/6, not '${TAVIX_DATE}'")
endif()
set(date_year ${CMAKE_MATCH_1})
set(date_month ${CMAKE_MATCH_2})
set(date_day ${CMAKE_MATCH_3})
set(month_names Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
math(EXPR month_index "${date_month} - 1")
list(GET month_names ${month_index} month_name)
string(LENGTH "${date_day}" day_length)
if(day_length EQUAL 1)
  set(date_day " ${date_day}")
endif()
set(TAVIX_BUILD_DATE "${month_name} ${date_day} ${date_year}")

set(TAVIX_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
file(CONFIGURE OUTPUT ${TAVIX_GENERATED_DIR}/tavix_version.h CONTENT
"// Made by the build from resources/version.txt; edit that file instead.
#pragma once

#define TAVIX_VERSION_TEXT \"${TAVIX_VERSION}\"
#define TAVIX_FILE_VERSION ${TAVIX_VERSION_MAJOR}, ${TAVIX_VERSION_MINOR}, 0, 0
// Release date in the form of __DATE__, and as year/month/day.
#define TAVIX_BUILD_DATE \"${TAVIX_BUILD_DATE}\"
#define TAVIX_DATE_TEXT \"${TAVIX_DATE}\"
")
include_directories(${TAVIX_GENERATED_DIR})
