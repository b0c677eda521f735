# Copies the page assets next to the program and installs the sample bank as
# data.db when no data.db exists yet: a user's own data.db is never replaced.
file(COPY ${SOURCE_DIR}/assets/ DESTINATION ${BIN_DIR})

set(JQUERY_SOURCE /usr/share/javascript/jquery/jquery.min.js)
if(EXISTS ${JQUERY_SOURCE})
  file(COPY_FILE ${JQUERY_SOURCE} ${BIN_DIR}/js/jQuery.js ONLY_IF_DIFFERENT)
else()
  message(FATAL_ERROR "jQuery not found at ${JQUERY_SOURCE}: install the libjs-jquery package")
endif()

set(DB ${BIN_DIR}/data.db)
if(NOT EXISTS ${DB})
  find_program(SQLITE3 sqlite3 REQUIRED)
  set(TMP ${BIN_DIR}/data.db.new)
  file(REMOVE ${TMP})
  execute_process(COMMAND ${SQLITE3} ${TMP}
    INPUT_FILE ${SOURCE_DIR}/data/schema.sql RESULT_VARIABLE rc1)
  execute_process(COMMAND ${SQLITE3} ${TMP}
    INPUT_FILE ${SOURCE_DIR}/data/sample_bank.sql RESULT_VARIABLE rc2)
  if(NOT rc1 EQUAL 0 OR NOT rc2 EQUAL 0)
    file(REMOVE ${TMP})
    message(FATAL_ERROR "Could not build the sample bank")
  endif()
  file(RENAME ${TMP} ${DB})
  message(STATUS "Installed the sample bank as ${DB}")
endif()
