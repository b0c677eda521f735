# Copies the page assets next to the program, builds the sample bank beside it
# (sample_bank.db, from which the program offers to make a missing data.db) and
# installs it as data.db when no data.db exists yet, or only an empty one: a
# user's own data.db is never replaced.
file(COPY ${SOURCE_DIR}/assets/ DESTINATION ${BIN_DIR})

set(JQUERY_SOURCE /usr/share/javascript/jquery/jquery.min.js)
if(EXISTS ${JQUERY_SOURCE})
  file(COPY_FILE ${JQUERY_SOURCE} ${BIN_DIR}/js/jQuery.js ONLY_IF_DIFFERENT)
else()
  message(FATAL_ERROR "jQuery not found at ${JQUERY_SOURCE}: install the libjs-jquery package")
endif()

# Debian's flot is one file with its plugins (categories, legend, ...): the
# charts of the statistics page.
set(FLOT_SOURCE /usr/share/javascript/jquery-flot/jquery.flot.min.js)
if(EXISTS ${FLOT_SOURCE})
  file(COPY_FILE ${FLOT_SOURCE} ${BIN_DIR}/js/jquery.flot.js ONLY_IF_DIFFERENT)
else()
  message(FATAL_ERROR "flot not found at ${FLOT_SOURCE}: install the libjs-jquery-flot package")
endif()

# The sample bank, rebuilt when its sources change.
set(SAMPLE ${BIN_DIR}/sample_bank.db)
if(NOT EXISTS ${SAMPLE}
   OR ${SOURCE_DIR}/data/schema.sql IS_NEWER_THAN ${SAMPLE}
   OR ${SOURCE_DIR}/data/sample_bank.sql IS_NEWER_THAN ${SAMPLE})
  set(DB ${SAMPLE})
  include(${CMAKE_CURRENT_LIST_DIR}/sample_bank.cmake)
endif()

set(DB ${BIN_DIR}/data.db)
# An empty data.db (what opening a missing file leaves) holds nothing to keep.
set(DB_SIZE 0)
if(EXISTS ${DB} AND NOT IS_DIRECTORY ${DB})
  file(SIZE ${DB} DB_SIZE)
endif()
if(NOT EXISTS ${DB} OR DB_SIZE EQUAL 0)
  file(COPY_FILE ${SAMPLE} ${DB})
  message(STATUS "Installed the sample bank as ${DB}")
endif()
