# Builds the sample question bank (data/schema.sql, data/sample_bank.sql) as
# the SQLite file DB, whole or not at all. Run with -DSOURCE_DIR=... -DDB=...
# -P, or include()d with both variables set.
find_program(SQLITE3 sqlite3 REQUIRED)
set(SAMPLE_BANK_PARTIAL ${DB}.new)
file(REMOVE ${SAMPLE_BANK_PARTIAL})
foreach(sql schema.sql sample_bank.sql)
  execute_process(COMMAND ${SQLITE3} ${SAMPLE_BANK_PARTIAL}
    INPUT_FILE ${SOURCE_DIR}/data/${sql} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    file(REMOVE ${SAMPLE_BANK_PARTIAL})
    message(FATAL_ERROR "Could not build the sample bank (data/${sql})")
  endif()
endforeach()
file(RENAME ${SAMPLE_BANK_PARTIAL} ${DB})
