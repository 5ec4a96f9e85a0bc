# Signs FILE in place with osslsigncode (see MarigoldSigning.cmake). On failure the unsigned file is
# removed, so that the next build links and signs it again instead of taking it for finished.
#
# Without a time-stamping service the signing time is fixed, so that two builds of one commit give
# the same signed files: SOURCE_DATE_EPOCH when set, else the time of the source's last commit.
set(signing_time "$ENV{SOURCE_DATE_EPOCH}")
if(NOT signing_time AND NOT TIMESTAMP_URL)
  find_program(git git)
  if(git)
    execute_process(COMMAND "${git}" -C "${SOURCE_DIR}" log -1 --format=%ct
                    OUTPUT_VARIABLE signing_time OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  endif()
endif()

set(args sign -certs "${CERT}" -key "${KEY}" -h sha256 -n "${DESCRIPTION}" -i "${URL}")
if(PASSWORD_FILE)
  list(APPEND args -readpass "${PASSWORD_FILE}")
endif()
if(TIMESTAMP_URL)
  list(APPEND args -ts "${TIMESTAMP_URL}")
elseif(signing_time MATCHES "^[0-9]+$")
  list(APPEND args -time "${signing_time}")
endif()

set(signed "${FILE}.signed")
file(REMOVE "${signed}")
execute_process(COMMAND "${TOOL}" ${args} -in "${FILE}" -out "${signed}"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0 OR NOT EXISTS "${signed}")
  file(REMOVE "${FILE}" "${signed}")
  message(FATAL_ERROR "Signing ${FILE} failed (${result}):\n${output}")
endif()
file(RENAME "${signed}" "${FILE}")
